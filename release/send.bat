@echo off
rem Sends one menu file to the screen, for Task Scheduler:
rem   send.bat breakfast.txt
rem Runs in this folder (its messbay.ini) and ends with Platora's exit code:
rem 0 sent, 1 not sent (link or screen), 2 bad input. See platora.log.
cd /d "%~dp0"
start "" /wait platora.exe /send %1
exit /b %errorlevel%
