@echo off
rem Registers OrvAcctMan.dll from this folder, each DLL with the regsvr32 of its own bitness:
rem on 64-bit Windows x64\ (64-bit clients) and x86\ (32-bit clients), on 32-bit Windows x86\.
rem   register.cmd           for every user of the machine (administrator rights needed)
rem   register.cmd /user     for the current user alone (regsvr32 /n /i:user)
rem unregister.cmd takes the same option and removes the registration (it calls this with /u).
rem Exit code: 0 done, 1 a DLL failed, 2 wrong usage, 5 administrator rights needed.
rem
rem The user's name and this folder's may hold & | < > ^ % ( ) and !. They never enter a line
rem through percent or delayed (exclamation mark) expansion: they come in as FOR variables,
rem which cmd puts in after it has parsed the line, so they stay text (delayed expansion stays
rem off, or it would eat the !). Wine's cmd also parses again what the other two bring in.
rem These comments name no variable: cmd expands them in REM lines too.
setlocal EnableExtensions DisableDelayedExpansion
rem This folder: FOR resolves this script's name as it was started. (Asking for the folder
rem itself, with the d and p modifiers, would bring its whole name in by percent expansion.)
for %%F in ("%~0") do set "folder=%%~dpF"
set "me=register.cmd"
set "undo="
set "scope=machine"

:options
if "%~1"=="" goto :options_done
if /i "%~1"=="/user" (set "scope=user" & shift & goto :options)
if /i "%~1"=="/u" (set "undo=/u" & set "me=unregister.cmd" & shift & goto :options)
echo usage: %me% [/user]
exit /b 2
:options_done

rem The system's regsvr32 of each bitness. A 32-bit cmd.exe on 64-bit Windows sees SysWOW64 as
rem System32 and reaches the 64-bit one through Sysnative.
set "regsvr32_x64="
set "regsvr32_x86=%SystemRoot%\System32\regsvr32.exe"
if /i "%PROCESSOR_ARCHITECTURE%"=="AMD64" set "regsvr32_x64=%SystemRoot%\System32\regsvr32.exe"
if /i "%PROCESSOR_ARCHITEW6432%"=="AMD64" set "regsvr32_x64=%SystemRoot%\Sysnative\regsvr32.exe"
if exist "%SystemRoot%\SysWOW64\regsvr32.exe" set "regsvr32_x86=%SystemRoot%\SysWOW64\regsvr32.exe"

set "switches=/s"
if defined undo set "switches=/s /u"
set "verb=registered"
if defined undo set "verb=unregistered"
if not "%scope%"=="user" goto :machine_rights
set "switches=%switches% /n /i:user"
goto :rights_done
:machine_rights
rem Only an elevated administrator may write the machine's classes. fltmc answers only them;
rem net session too, where fltmc is missing.
fltmc >nul 2>&1 && goto :rights_done
net session >nul 2>&1 && goto :rights_done
echo %me%: doing this for every user of the machine needs administrator rights.
echo   Run it again from a command prompt opened with "Run as administrator",
echo   or do it for yourself alone, without those rights: %me% /user
exit /b 5
:rights_done

set "failed=0"
set "regsvr32=%regsvr32_x64%"
if defined regsvr32_x64 call :one x64 64-bit
set "regsvr32=%regsvr32_x86%"
call :one x86 32-bit
if not "%failed%"=="0" exit /b 1
exit /b 0

rem :one FOLDER BITNESS: one DLL with the regsvr32 chosen above, and a line saying what happened.
rem The folder's and the user's names are read back as FOR variables from the output of set.
:one
set "present="
for /f "tokens=1* delims==" %%A in ('set folder') do if /i "%%A"=="folder" if exist "%%B%~1\OrvAcctMan.dll" set "present=1"
if defined present goto :one_present
echo %me%: %~1\OrvAcctMan.dll is missing beside %me%
set /a failed+=1
goto :eof
:one_present
for /f "tokens=1* delims==" %%A in ('set folder') do if /i "%%A"=="folder" "%regsvr32%" %switches% "%%B%~1\OrvAcctMan.dll"
set "code=%errorlevel%"
if "%code%"=="0" goto :one_done
echo %me%: regsvr32 %switches% failed on %~1\OrvAcctMan.dll (regsvr32's exit code %code%)
set /a failed+=1
goto :eof
:one_done
if "%scope%"=="user" goto :one_done_user
echo %me%: %~1\OrvAcctMan.dll %verb% for %~2 clients for every user
goto :eof
:one_done_user
for /f "tokens=1* delims==" %%A in ('set USERNAME') do if /i "%%A"=="USERNAME" echo %me%: %~1\OrvAcctMan.dll %verb% for %~2 clients for %%B alone
goto :eof
