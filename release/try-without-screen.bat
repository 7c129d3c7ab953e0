@echo off
rem Platora without an LED screen: the simulated screen (its LED-dot window
rem shows what Platora sends) on this computer, then Platora itself.
rem Platora's messbay.ini in this folder points at 127.0.0.1, this computer.
cd /d "%~dp0"
rem Pairing, as with a real screen: a key made once (screen.key, readable
rem only by this account) that the screen is started with and that the
rem library reads through ledapi.ini. Then only this computer can put a
rem picture on the screen. An ledapi.ini of your own is left as it is.
if not exist screen.key ledscreen.exe --make-key screen.key >nul
if exist ledapi.ini goto paired
echo [127.0.0.1]> ledapi.ini
echo keyfile = screen.key>> ledapi.ini
:paired
set PAIRED=
find "keyfile = screen.key" ledapi.ini >nul
if not errorlevel 1 set PAIRED=--key screen.key
start "ledscreen" ledscreen.exe --bind 127.0.0.1 --port 6666 --view --snapshot screen.png --card card.bin %PAIRED%
start "" platora.exe
