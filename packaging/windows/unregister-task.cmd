@echo off
rem register-task.cmd が登録したタスクを、今のユーザーから削除します。
setlocal EnableExtensions DisableDelayedExpansion
set "task=velkorn (%USERNAME%)"
schtasks /delete /tn "%task%" /f
set status=%errorlevel%
del "%~dp0velkorn-task.xml" 2>nul
if not "%status%"=="0" goto :failed
echo タスク "%task%" を削除しました。
goto :end

:failed
echo タスク "%task%" を削除できませんでした (登録されていないのかもしれません)。
set status=1

:end
pause
exit /b %status%
