@echo off
rem Removes the registration that register.cmd made:
rem   unregister.cmd           for every user of the machine (administrator rights needed)
rem   unregister.cmd /user     for the current user alone
rem Exit codes as register.cmd's.
rem register.cmd is called by its name from this folder, made current for the call, so that no
rem folder's name passes through the command line (see register.cmd).
setlocal EnableExtensions
for %%F in ("%~0") do pushd "%%~dpF"
call .\register.cmd /u %*
set "code=%errorlevel%"
popd
exit /b %code%
