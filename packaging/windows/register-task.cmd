@echo off
rem このフォルダーの velkorn.exe を、ログオンの 1 分後と毎日 0 時 1 分に実行する
rem タスクを、今のユーザーに登録します。その時刻に止まっていた日は、次に
rem 動き始めたときに実行します (StartWhenAvailable)。schtasks のオプション
rem だけではこれを指定できないので、タスクの XML を書いてから登録します。
setlocal EnableExtensions DisableDelayedExpansion
set "here=%~dp0"
set "task=velkorn (%USERNAME%)"
set "user=%USERNAME%"
if defined USERDOMAIN set "user=%USERDOMAIN%\%USERNAME%"
set status=1
if not exist "%here%velkorn.exe" goto :no_program

rem 書けなかった XML (書き込めないフォルダー、いっぱいのディスク) を登録しない
rem よう、終わりまで書けたことを確かめます。
call :write_xml >"%here%velkorn-task.xml"
find "</Task>" "%here%velkorn-task.xml" >nul 2>nul
if errorlevel 1 goto :no_xml
schtasks /create /tn "%task%" /xml "%here%velkorn-task.xml" /f
if errorlevel 1 goto :failed
echo タスク "%task%" を登録しました。
echo velkorn.exe をログオンの 1 分後と毎日 0 時 1 分に実行します。
echo 動くことを確かめるため、今いちど実行します。
schtasks /run /tn "%task%"
if errorlevel 1 echo 今は実行できませんでした。次のログオンか 0 時 1 分に実行します。
echo 実行した結果は、タスク スケジューラ (taskschd.msc) の「タスク スケジューラ ライブラリ」で
echo "%task%" の「前回の実行結果」に出ます (0x0 は成功、0x1 はスケジュールを読めなかった、
echo 0x2 は画像を設定できなかった)。コマンドでは schtasks /query /tn "%task%" /v /fo list です。
set status=0
goto :end

:no_program
echo velkorn.exe がこのフォルダーにありません: "%here%"
echo zip の中身をすべて同じフォルダーに展開してから実行してください。
goto :end

:no_xml
echo タスクの定義を書けませんでした: "%here%velkorn-task.xml"
echo 書き込めるフォルダー (C:\Users\%USERNAME%\velkorn など) に展開してから実行してください。
goto :end

:failed
echo タスク "%task%" を登録できませんでした。
goto :end

rem schtasks はバイト順マークのない XML をシステムの ANSI コードページで
rem 読みます。日本語の Windows では cmd の echo と同じ 932 です。パスや
rem ユーザー名に使える文字のうち、XML でそのまま書けないのはアンパサンド
rem だけです。プログラムのパスは、空白があっても一つのコマンドとして読まれる
rem よう引用符で囲みます。前の日の実行がメッセージに答えてもらえないまま
rem 残っていたら、次の実行がそれを止めて代わります (StopExisting)。
:write_xml
setlocal
set "folder=%here:&=&amp;%"
set "user=%user:&=&amp;%"
setlocal EnableDelayedExpansion
echo ^<?xml version="1.0"?^>
echo ^<Task version="1.2" xmlns="http://schemas.microsoft.com/windows/2004/02/mit/task"^>
echo   ^<RegistrationInfo^>
echo     ^<Description^>Winbiff の画像を今日の予定に切り替えます (velkorn)^</Description^>
echo   ^</RegistrationInfo^>
echo   ^<Triggers^>
echo     ^<LogonTrigger^>
echo       ^<UserId^>!user!^</UserId^>
echo       ^<Delay^>PT1M^</Delay^>
echo     ^</LogonTrigger^>
echo     ^<CalendarTrigger^>
echo       ^<StartBoundary^>2000-01-01T00:01:00^</StartBoundary^>
echo       ^<ScheduleByDay^>^<DaysInterval^>1^</DaysInterval^>^</ScheduleByDay^>
echo     ^</CalendarTrigger^>
echo   ^</Triggers^>
echo   ^<Principals^>
echo     ^<Principal id="Author"^>
echo       ^<UserId^>!user!^</UserId^>
echo       ^<LogonType^>InteractiveToken^</LogonType^>
echo       ^<RunLevel^>LeastPrivilege^</RunLevel^>
echo     ^</Principal^>
echo   ^</Principals^>
echo   ^<Settings^>
echo     ^<StartWhenAvailable^>true^</StartWhenAvailable^>
echo     ^<DisallowStartIfOnBatteries^>false^</DisallowStartIfOnBatteries^>
echo     ^<StopIfGoingOnBatteries^>false^</StopIfGoingOnBatteries^>
echo     ^<MultipleInstancesPolicy^>StopExisting^</MultipleInstancesPolicy^>
echo   ^</Settings^>
echo   ^<Actions Context="Author"^>
echo     ^<Exec^>
echo       ^<Command^>"!folder!velkorn.exe"^</Command^>
echo       ^<WorkingDirectory^>!folder!^</WorkingDirectory^>
echo     ^</Exec^>
echo   ^</Actions^>
echo ^</Task^>
exit /b

:end
pause
exit /b %status%
