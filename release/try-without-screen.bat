@echo off
rem Platora without an LED screen: the simulated screen (its LED-dot window
rem shows what Platora sends) on this computer, then Platora itself.
rem Platora's messbay.ini in this folder points at 127.0.0.1, this computer.
cd /d "%~dp0"
start "ledscreen" ledscreen.exe --bind 127.0.0.1 --port 6666 --view --snapshot screen.png --card card.bin
start "" platora.exe
