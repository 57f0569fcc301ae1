@echo off
rem このフォルダーの velkorn.exe を、ログオンの 1 分後と毎日 0 時 1 分に実行する
rem タスクを、今のユーザーに登録します。その時刻に止まっていた日は、次に
rem 動き始めたとき (その約 10 分後) に実行します (StartWhenAvailable)。
rem schtasks のオプションだけではこれを指定できないので、タスクの XML を
rem 書いてから登録します。XML は velkorn-task.exe が UTF-16 で書きます。
rem echo で書くとコンソールのコード ページになり、そこにない文字を名前に
rem 持つフォルダーやユーザーでは "?" に変わって、タスクが毎日失敗します。
setlocal EnableExtensions DisableDelayedExpansion
set "here=%~dp0"
set "task=velkorn (%USERNAME%)"
set status=1
set "program=velkorn.exe"
if not exist "%here%%program%" goto :no_program
set "program=velkorn-task.exe"
if not exist "%here%%program%" goto :no_program

rem 終わりまで書けた XML だけを登録します。velkorn-task.exe の終了コードが
rem 0 でなければ、起動できなかったときのコードや負の値でも登録しません。
"%here%velkorn-task.exe"
set "written=%errorlevel%"
if "%written%"=="1" goto :no_xml
if "%written%"=="2" goto :bad_name
if not "%written%"=="0" goto :no_definition
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
echo %program% がこのフォルダーにありません: "%here%"
echo zip の中身をすべて同じフォルダーに展開してから実行してください。
goto :end

:no_xml
echo タスクの定義を書けませんでした: "%here%velkorn-task.xml"
echo 書き込めるフォルダー (C:\Users\%USERNAME%\velkorn など) に展開してから実行してください。
goto :end

:bad_name
echo このフォルダーの名前には、タスクの定義に書けない文字があります: "%here%"
echo ほかの名前のフォルダーに移してから、もう一度実行してください。
goto :end

:no_definition
echo velkorn-task.exe がタスクの定義を書きませんでした (終了コード %written%)。
echo Windows がプログラムの実行を止めたときは、readme.txt の「インストール」を見てください。
goto :end

:failed
echo タスク "%task%" を登録できませんでした。
goto :end

:end
pause
exit /b %status%
