@echo off
rem Plotwright: double-click to play. The game plays in the folder that holds
rem this file: it reads Crosses.csv and writes Results.csv here. A seed.txt
rem beside it, holding one whole number that the teacher gives the class,
rem starts the game from that seed: the same world for every student.
setlocal EnableExtensions
cd /d "%~dp0"
rem Double-clicked inside the zip, this file runs alone from a temporary
rem folder: the game is not beside it.
if not exist "plotwright.exe" goto unzip_first

set "seed="
if not exist "seed.txt" goto play
rem The first word of the first line that is not empty, which must be
rem digits alone: anything but digits leaves a piece for the second loop.
for /f "usebackq tokens=1" %%s in ("seed.txt") do if not defined seed set "seed=%%s"
if not defined seed goto bad_seed
for /f "delims=0123456789" %%x in ("%seed%") do goto bad_seed
echo   Seed %seed%, from seed.txt
plotwright.exe --seed %seed% %*
goto done

:play
plotwright.exe %*
:done
echo.
pause
exit /b

:unzip_first
echo.
echo   plotwright.exe is not beside this file: the game cannot start.
echo.
echo   Unzip plotwright-windows.zip first. Right-click it, choose "Extract All",
echo   open the folder that this makes, and double-click "Play Plotwright.cmd"
echo   in that folder.
echo.
pause
exit /b 1

:bad_seed
echo.
echo   seed.txt must hold one whole number, the seed your teacher gave you,
echo   from 0 to 2147483647. Correct it with Notepad and save it as plain text,
echo   or delete seed.txt to play a game of your own.
echo.
pause
exit /b 1
