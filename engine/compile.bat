:; # Assembles engine.asm with the song.h of this folder into song.bin and
:; # plays it in the Stella emulator; "compile.bat game" assembles the example
:; # game, example-game.asm, into game.bin instead. Both include player.asm.
:; # Every run writes compile.log here.
:; # Runs under /bin/sh (the lines starting ":;") and under Windows' cmd (below).
:; cd "$(dirname "$0")" || exit 1
:; log=compile.log
:; program=engine.asm; out=song
:; [ "${1:-}" = game ] && { program=example-game.asm; out=game; }
:; fail() { printf '%s\n' "compile.bat: $1" | tee -a "$log" >&2; exit 1; }
:; : > "$log" || { echo "compile.bat: cannot write $log in $(pwd)" >&2; exit 1; }
:; command -v dasm >/dev/null 2>&1 || fail "dasm not found: install the assembler dasm (Debian: apt-get install dasm)"
:; command -v stella >/dev/null 2>&1 || fail "stella not found: install the emulator Stella (Debian: apt-get install stella)"
:; for f in "$program" player.asm; do [ -f "$f" ] || fail "$f not found in $(pwd)"; done
:; [ -f song.h ] || fail "song.h not found in $(pwd): press a compile button in ostrak first"
:; rm -f "$out.bin"
:; if ! dasm "$program" -f3 "-o$out.bin" "-l$out.lst" >> "$log" 2>&1 || [ ! -s "$out.bin" ]; then rm -f "$out.bin"; fail "ASSEMBLY FAILED: see the messages above and $out.lst"; fi
:; echo "compile.bat: $out.bin assembled, starting stella" >> "$log"
:; exec stella "$out.bin" >> "$log" 2>&1
@echo off
rem ---- Windows ----
cd /d "%~dp0"
set log=compile.log
set program=engine.asm
set out=song
if /i "%~1"=="game" (set program=example-game.asm& set out=game)
type nul > "%log%"
where dasm >nul 2>&1 || (echo compile.bat: dasm not found: install the assembler dasm and put it on PATH>> "%log%" & goto failed)
where stella >nul 2>&1 || (echo compile.bat: stella not found: install the emulator Stella and put it on PATH>> "%log%" & goto failed)
if not exist %program% (echo compile.bat: %program% not found>> "%log%" & goto failed)
if not exist player.asm (echo compile.bat: player.asm not found>> "%log%" & goto failed)
if not exist song.h (echo compile.bat: song.h not found: press a compile button in ostrak first>> "%log%" & goto failed)
if exist %out%.bin del %out%.bin
dasm %program% -f3 -o%out%.bin -l%out%.lst >> "%log%" 2>&1
if errorlevel 1 (del %out%.bin 2>nul & echo compile.bat: ASSEMBLY FAILED: see the messages above and %out%.lst>> "%log%" & goto failed)
echo compile.bat: %out%.bin assembled, starting stella>> "%log%"
start "" stella %out%.bin
exit /b 0
:failed
type "%log%"
pause
exit /b 1
