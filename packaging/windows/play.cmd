@echo off
rem Plotwright: double-click to play. The game plays in the folder that holds
rem this file: it reads Crosses.csv and writes Results.csv here.
cd /d "%~dp0"
plotwright.exe %*
echo.
pause
