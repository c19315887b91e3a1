@echo off
rem Plotwright: the class summary. Drop the folder of the class's records
rem (a folder per student, each holding the Plotwright-record.json of their
rem game) onto this file; or collect the students' folders in the folder
rem that holds this file and double-click it. It writes Class-summary.html
rem and Class-summary.csv in the class's folder.
setlocal EnableExtensions
set "program=%~dp0plotwright.exe"
if not exist "%program%" goto unzip_first
set "class=%~1"
if not defined class set "class=%~dp0"
if not exist "%class%\*" goto not_a_folder
rem No backslash before the closing quote, which would make it part of the
rem name; a drive's top folder ("E:\") is named "E:\." instead.
if "%class:~-1%"=="\" set "class=%class:~0,-1%"
if "%class:~-1%"==":" set "class=%class%\."

"%program%" --class "%class%"
if errorlevel 1 goto failed
echo.
echo   The class summary is "%class%\Class-summary.html":
echo   open it in a web browser. Class-summary.csv beside it holds the same
echo   table for a spreadsheet.
echo.
pause
exit /b

:failed
echo.
echo   No class summary was written: the lines above say why.
echo.
pause
exit /b 1

:unzip_first
echo.
echo   plotwright.exe is not beside this file, so it cannot sum up the class.
echo   Unzip plotwright-windows.zip first ("Extract All") and use
echo   "Class summary.cmd" in the folder that this makes.
echo.
pause
exit /b 1

:not_a_folder
echo.
echo   Drop a folder onto "Class summary.cmd": the folder that holds the
echo   students' folders, each with the Plotwright-record.json of a game.
echo.
pause
exit /b 1
