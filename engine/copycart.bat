:; # Copies the song to a cartridge's memory card: assembles engine.asm with the
:; # song.h of this folder into cart.bin (its own file, as compile.bat may be
:; # building song.bin at the same moment) and copies it into the folder named
:; # by the environment variable OSTRAK_CART. Every run writes copycart.log here.
:; # Runs under /bin/sh (the lines starting ":;") and under Windows' cmd (below).
:; cd "$(dirname "$0")" || exit 1
:; log=copycart.log
:; fail() { printf '%s\n' "copycart.bat: $1" | tee -a "$log" >&2; exit 1; }
:; : > "$log" || { echo "copycart.bat: cannot write $log in $(pwd)" >&2; exit 1; }
:; [ -n "${OSTRAK_CART:-}" ] || fail "OSTRAK_CART is not set: set it to the folder of the cartridge's memory card"
:; [ -d "$OSTRAK_CART" ] || fail "OSTRAK_CART names no folder: $OSTRAK_CART"
:; command -v dasm >/dev/null 2>&1 || fail "dasm not found: install the assembler dasm (Debian: apt-get install dasm)"
:; for f in engine.asm player.asm; do [ -f "$f" ] || fail "$f not found in $(pwd)"; done
:; [ -f song.h ] || fail "song.h not found in $(pwd): press a compile button in ostrak first"
:; rm -f cart.bin
:; if ! dasm engine.asm -f3 -ocart.bin >> "$log" 2>&1 || [ ! -s cart.bin ]; then rm -f cart.bin; fail "ASSEMBLY FAILED: see the messages above"; fi
:; cp cart.bin "$OSTRAK_CART/ostrak.bin" >> "$log" 2>&1 || fail "cannot copy cart.bin to $OSTRAK_CART"
:; echo "copycart.bat: copied to $OSTRAK_CART/ostrak.bin" >> "$log"
:; exit 0
@echo off
rem ---- Windows ----
cd /d "%~dp0"
set log=copycart.log
type nul > "%log%"
if "%OSTRAK_CART%"=="" (echo copycart.bat: OSTRAK_CART is not set: set it to the folder of the cartridge's memory card>> "%log%" & goto failed)
if not exist "%OSTRAK_CART%\" (echo copycart.bat: OSTRAK_CART names no folder: %OSTRAK_CART%>> "%log%" & goto failed)
where dasm >nul 2>&1 || (echo copycart.bat: dasm not found: install the assembler dasm and put it on PATH>> "%log%" & goto failed)
if not exist engine.asm (echo copycart.bat: engine.asm not found>> "%log%" & goto failed)
if not exist player.asm (echo copycart.bat: player.asm not found>> "%log%" & goto failed)
if not exist song.h (echo copycart.bat: song.h not found: press a compile button in ostrak first>> "%log%" & goto failed)
if exist cart.bin del cart.bin
dasm engine.asm -f3 -ocart.bin >> "%log%" 2>&1
if errorlevel 1 (del cart.bin 2>nul & echo copycart.bat: ASSEMBLY FAILED: see the messages above>> "%log%" & goto failed)
copy /y cart.bin "%OSTRAK_CART%\ostrak.bin" >> "%log%"
if errorlevel 1 (echo copycart.bat: cannot copy cart.bin to %OSTRAK_CART%>> "%log%" & goto failed)
echo copycart.bat: copied to %OSTRAK_CART%\ostrak.bin>> "%log%"
exit /b 0
:failed
type "%log%"
pause
exit /b 1
