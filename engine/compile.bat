:; # Assembles engine.asm with the song.h of this folder into song.bin and
:; # plays it in the Stella emulator. Every run writes compile.log here.
:; # Runs under /bin/sh (the lines starting ":;") and under Windows' cmd (below).
:; cd "$(dirname "$0")" || exit 1
:; log=compile.log
:; fail() { printf '%s\n' "compile.bat: $1" | tee -a "$log" >&2; exit 1; }
:; : > "$log" || { echo "compile.bat: cannot write $log in $(pwd)" >&2; exit 1; }
:; command -v dasm >/dev/null 2>&1 || fail "dasm not found: install the assembler dasm (Debian: apt-get install dasm)"
:; command -v stella >/dev/null 2>&1 || fail "stella not found: install the emulator Stella (Debian: apt-get install stella)"
:; [ -f engine.asm ] || fail "engine.asm not found in $(pwd)"
:; [ -f song.h ] || fail "song.h not found in $(pwd): press a compile button in ostrak first"
:; rm -f song.bin
:; if ! dasm engine.asm -f3 -osong.bin -lsong.lst >> "$log" 2>&1 || [ ! -s song.bin ]; then rm -f song.bin; fail "ASSEMBLY FAILED: see the messages above and song.lst"; fi
:; echo "compile.bat: song.bin assembled, starting stella" >> "$log"
:; exec stella song.bin >> "$log" 2>&1
@echo off
rem ---- Windows ----
cd /d "%~dp0"
set log=compile.log
type nul > "%log%"
where dasm >nul 2>&1 || (echo compile.bat: dasm not found: install the assembler dasm and put it on PATH>> "%log%" & goto failed)
where stella >nul 2>&1 || (echo compile.bat: stella not found: install the emulator Stella and put it on PATH>> "%log%" & goto failed)
if not exist engine.asm (echo compile.bat: engine.asm not found>> "%log%" & goto failed)
if not exist song.h (echo compile.bat: song.h not found: press a compile button in ostrak first>> "%log%" & goto failed)
if exist song.bin del song.bin
dasm engine.asm -f3 -osong.bin -lsong.lst >> "%log%" 2>&1
if errorlevel 1 (del song.bin 2>nul & echo compile.bat: ASSEMBLY FAILED: see the messages above and song.lst>> "%log%" & goto failed)
echo compile.bat: song.bin assembled, starting stella>> "%log%"
start "" stella song.bin
exit /b 0
:failed
type "%log%"
pause
exit /b 1
