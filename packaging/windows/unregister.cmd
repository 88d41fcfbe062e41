@echo off
rem Removes the registration that register.cmd made:
rem   unregister.cmd           for every user of the machine (administrator rights needed)
rem   unregister.cmd /user     for the current user alone
rem Exit codes as register.cmd's.
call "%~dp0register.cmd" /u %*
exit /b %errorlevel%
