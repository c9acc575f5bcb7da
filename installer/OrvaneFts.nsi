; The setup program of OrvaneFts: the program, its upload control and the outside libraries in one
; program folder with the user guide, the transfer server's addresses for every user of the PC,
; the ".ofts" association and a Start menu entry, and an uninstaller that takes them away again.
;
; Built by scripts/package (and by scripts/test-installer for the tests) with
;   makensis -INPUTCHARSET UTF8 -DPAYLOAD=<build>/installer/payload.nsh \
;            -DSERVER_BASE=http://host:port -DOUTFILE=<setup.exe> installer/OrvaneFts.nsi
; PAYLOAD, written by CMake for one build, defines TARGET (x86-unicode or amd64-unicode),
; ORVANE_BIN (the folder of the built binaries), GUIDE (the user guide as a page with its pictures,
; made by scripts/guide-html) and HAVE_PARVEK when the download library is built.
;
; Silent install: OrvaneFts-setup.exe /S [/SERVER=http://host:port] [/FILETRANSURL=...]
;   [/SAVESIZEURL=...] [/HISTORYURL=...] [/D=C:\folder]
; /SERVER sets all three addresses from the server's base address; the others replace one each.
; Exit codes: 0 installed, 2 an address was refused, 3 the upload control did not register.
;
; The addresses are written once for the machine (HKLM\SOFTWARE\Halvik\FileUpDown): the setup runs
; elevated, often as another account than the one that will use the program, and every account of
; the PC must find them. An address a user set under his own settings key still comes first.
;
; The host product's installation (HKLM\SOFTWARE\Halvik\ORVANE) is never written: the product
; identifier comes from that product alone.

!include "${PAYLOAD}"
Target ${TARGET}

!ifndef SERVER_BASE
  !define SERVER_BASE "http://127.0.0.1:8480"
!endif
!ifndef OUTFILE
  !define OUTFILE "OrvaneFts-setup.exe"
!endif

!include MUI2.nsh
!include nsDialogs.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include x64.nsh

!define PRODUCT "Orvaneファイル転送"
!define SETTINGS_KEY "SOFTWARE\Halvik\FileUpDown"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\OrvaneFts"
!define OFTS_CLASS "OrvaneFts.ofts"
; The program reads each address into 128 bytes of ANSI text, terminator included: a longer one
; would be taken for no address at all.
!define URL_BUFFER_BYTES 128

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
; File times of the build are left out, so the same binaries make the same setup program.
SetDateSave off
ShowInstDetails show
ShowUninstDetails show

!if ${TARGET} == amd64-unicode
  InstallDir "$PROGRAMFILES64\Halvik\OrvaneFts"
!else
  InstallDir "$PROGRAMFILES\Halvik\OrvaneFts"
!endif
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"

Var FileTransUrl
Var SaveSizeUrl
Var HistoryUrl
Var FileTransField
Var SaveSizeField
Var HistoryField

!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_DIRECTORY
Page custom ServerPage ServerPageLeave
!insertmacro MUI_PAGE_INSTFILES
; No "start the program now" option: started from this elevated process the program would run with
; the administrator's rights and keep its address book where a standard user's cannot be.
!define MUI_FINISHPAGE_TEXT "$(FinishText)"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

LangString ServerTitle ${LANG_JAPANESE} "転送サーバーの設定"
LangString ServerSubtitle ${LANG_JAPANESE} "ファイル転送サーバーのアドレスを入力してください。"
LangString FileTransLabel ${LANG_JAPANESE} "ファイル転送のアドレス(FileTransUrl)"
LangString SaveSizeLabel ${LANG_JAPANESE} "保存容量問い合わせのアドレス(SaveSizeUrl)"
LangString HistoryLabel ${LANG_JAPANESE} "転送履歴のアドレス(HistoryUrl)"
LangString UrlEmpty ${LANG_JAPANESE} "アドレスを入力してください。"
LangString UrlTooLong ${LANG_JAPANESE} "アドレスが長すぎます。半角127文字以内で入力してください。"
LangString UrlScheme ${LANG_JAPANESE} "アドレスは http:// または https:// で始めてください(ファイル転送のアドレスは ftp:// も使えます)。"
LangString RegisterFailed ${LANG_JAPANESE} "アップロードコントロール(Zorvel.dll)を登録出来ませんでした。"
LangString Needs64Bit ${LANG_JAPANESE} "このセットアップは64ビット版Windows専用です。"
LangString OftsTypeName ${LANG_JAPANESE} "Orvaneダウンロードファイル"
LangString UninstallLink ${LANG_JAPANESE} "アンインストール"
LangString GuideLink ${LANG_JAPANESE} "ユーザーガイド"
LangString FinishText ${LANG_JAPANESE} "${PRODUCT}のインストールが完了しました。$\r$\n$\r$\nスタートメニューの「${PRODUCT}」から起動してください。"

Function .onInit
!if ${TARGET} == amd64-unicode
  ${IfNot} ${RunningX64}
    MessageBox MB_ICONSTOP "$(Needs64Bit)" /SD IDOK
    Abort
  ${EndIf}
  SetRegView 64
!endif
  StrCpy $FileTransUrl "${SERVER_BASE}/upload"
  StrCpy $SaveSizeUrl "${SERVER_BASE}/savesize"
  StrCpy $HistoryUrl "${SERVER_BASE}/history"

  ${GetParameters} $R0
  StrCpy $R2 "/SERVER="
  Call OptionValue
  ${IfNot} ${Errors}
    StrCpy $FileTransUrl "$R1/upload"
    StrCpy $SaveSizeUrl "$R1/savesize"
    StrCpy $HistoryUrl "$R1/history"
  ${EndIf}
  StrCpy $R2 "/FILETRANSURL="
  Call OptionValue
  ${IfNot} ${Errors}
    StrCpy $FileTransUrl $R1
  ${EndIf}
  StrCpy $R2 "/SAVESIZEURL="
  Call OptionValue
  ${IfNot} ${Errors}
    StrCpy $SaveSizeUrl $R1
  ${EndIf}
  StrCpy $R2 "/HISTORYURL="
  Call OptionValue
  ${IfNot} ${Errors}
    StrCpy $HistoryUrl $R1
  ${EndIf}

  ; Nobody sees the address page of a silent install: its check runs here instead.
  ${If} ${Silent}
    Call CheckUrls
    ${If} $0 != ""
      SetErrorLevel 2
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

; $R1 := the value of the option $R2 ("/SERVER=", any case) of the command line $R0, up to the
; next blank followed by "/" or to the end, without quotes around it; the error flag tells that the
; option is absent. (The usual option reader ends a value at its first "/", which every address
; holds.)
Function OptionValue
  Push $R3
  Push $R4
  Push $R5
  Push $R6
  ClearErrors
  StrCpy $R1 ""
  StrLen $R5 $R2
  StrCpy $R3 0
  ${Do}
    StrCpy $R4 $R0 $R5 $R3
    ${If} $R4 == ""
      SetErrors
      ${Break}
    ${EndIf}
    StrCpy $R6 " "
    ${If} $R3 > 0
      IntOp $R6 $R3 - 1
      StrCpy $R6 $R0 1 $R6
    ${EndIf}
    ${If} $R4 == $R2
    ${AndIf} $R6 == " "
      IntOp $R3 $R3 + $R5
      StrCpy $R1 $R0 "" $R3
      StrCpy $R4 0
      ${Do}
        StrCpy $R6 $R1 2 $R4
        ${If} $R6 == " /"
        ${OrIf} $R6 == ""
          ${Break}
        ${EndIf}
        IntOp $R4 $R4 + 1
      ${Loop}
      StrCpy $R1 $R1 $R4
      ${Do}
        StrCpy $R6 $R1 1 -1
        ${If} $R6 != " "
          ${Break}
        ${EndIf}
        StrCpy $R1 $R1 -1
      ${Loop}
      StrCpy $R6 $R1 1
      ${If} $R6 == '"'
        StrCpy $R1 $R1 "" 1
        StrCpy $R6 $R1 1 -1
        ${If} $R6 == '"'
          StrCpy $R1 $R1 -1
        ${EndIf}
      ${EndIf}
      ${Break}
    ${EndIf}
    IntOp $R3 $R3 + 1
  ${Loop}
  Pop $R6
  Pop $R5
  Pop $R4
  Pop $R3
FunctionEnd

; $0 := the refusal for the first unusable address (empty when all three are usable).
; The queries go through the system's HTTP client, so their addresses are http or https; the
; upload control also sends by FTP. Any other address would only show "URLエラー" later.
!macro CheckOneUrl url allowFtp
  ${If} $0 == ""
    ${If} ${url} == ""
      StrCpy $0 "$(UrlEmpty)"
    ${Else}
      StrCpy $2 ${url}
      System::Call 'kernel32::WideCharToMultiByte(i 0, i 0, w r2, i -1, p 0, i 0, p 0, p 0) i .r1'
      StrCpy $3 $2 7
      StrCpy $4 $2 8
      StrCpy $5 $2 6
      ${If} $1 > ${URL_BUFFER_BYTES}
        StrCpy $0 "$(UrlTooLong)$\r$\n${url}"
      ${ElseIf} $3 != "http://"
      ${AndIf} $4 != "https://"
        ${If} ${allowFtp} == 0
        ${OrIf} $5 != "ftp://"
          StrCpy $0 "$(UrlScheme)$\r$\n${url}"
        ${EndIf}
      ${EndIf}
    ${EndIf}
  ${EndIf}
!macroend

Function CheckUrls
  StrCpy $0 ""
  !insertmacro CheckOneUrl $FileTransUrl 1
  !insertmacro CheckOneUrl $SaveSizeUrl 0
  !insertmacro CheckOneUrl $HistoryUrl 0
FunctionEnd

Function ServerPage
  !insertmacro MUI_HEADER_TEXT "$(ServerTitle)" "$(ServerSubtitle)"
  nsDialogs::Create 1018
  Pop $R0
  ${NSD_CreateLabel} 0 0 100% 10u "$(FileTransLabel)"
  Pop $R1
  ${NSD_CreateText} 0 11u 100% 13u "$FileTransUrl"
  Pop $FileTransField
  ${NSD_CreateLabel} 0 32u 100% 10u "$(SaveSizeLabel)"
  Pop $R1
  ${NSD_CreateText} 0 43u 100% 13u "$SaveSizeUrl"
  Pop $SaveSizeField
  ${NSD_CreateLabel} 0 64u 100% 10u "$(HistoryLabel)"
  Pop $R1
  ${NSD_CreateText} 0 75u 100% 13u "$HistoryUrl"
  Pop $HistoryField
  nsDialogs::Show
FunctionEnd

Function ServerPageLeave
  ${NSD_GetText} $FileTransField $FileTransUrl
  ${NSD_GetText} $SaveSizeField $SaveSizeUrl
  ${NSD_GetText} $HistoryField $HistoryUrl
  Call CheckUrls
  ${If} $0 != ""
    MessageBox MB_ICONEXCLAMATION "$0"
    Abort
  ${EndIf}
FunctionEnd

Section
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "${ORVANE_BIN}/OrvaneFts.exe"
  File "${ORVANE_BIN}/Zorvel.dll"
  File "${ORVANE_BIN}/TTA_VB.dll"
!ifdef HAVE_PARVEK
  File "${ORVANE_BIN}/Parvek.dll"
!endif
  SetOutPath "$INSTDIR\guide"
  File /r "${GUIDE}/*.*"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; A forward without its upload control cannot run: such an installation is no installation, and
  ; what was copied goes again (a folder that holds the user's own files stays with them).
  ClearErrors
  RegDLL "$INSTDIR\Zorvel.dll"
  ${If} ${Errors}
    Call RemoveProgramFiles
    MessageBox MB_ICONSTOP "$(RegisterFailed)" /SD IDOK
    SetErrorLevel 3
    Abort
  ${EndIf}

  WriteRegStr HKLM "${SETTINGS_KEY}" "FileTransUrl" "$FileTransUrl"
  WriteRegStr HKLM "${SETTINGS_KEY}" "SaveSizeUrl" "$SaveSizeUrl"
  WriteRegStr HKLM "${SETTINGS_KEY}" "HistoryUrl" "$HistoryUrl"

  ; The program takes its whole argument text as the descriptor's path, quotes included: %1 is
  ; therefore passed bare (a path with blanks arrives whole all the same).
  WriteRegStr HKLM "Software\Classes\.ofts" "" "${OFTS_CLASS}"
  WriteRegStr HKLM "Software\Classes\${OFTS_CLASS}" "" "$(OftsTypeName)"
  WriteRegStr HKLM "Software\Classes\${OFTS_CLASS}\DefaultIcon" "" "$INSTDIR\OrvaneFts.exe,0"
  WriteRegStr HKLM "Software\Classes\${OFTS_CLASS}\shell\open\command" "" '"$INSTDIR\OrvaneFts.exe" %1'
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk" "$INSTDIR\OrvaneFts.exe"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\$(GuideLink).lnk" "$INSTDIR\guide\user-guide.html"
  CreateShortcut "$SMPROGRAMS\${PRODUCT}\$(UninstallLink).lnk" "$INSTDIR\Uninstall.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Halvik"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\OrvaneFts.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; The program folder's files of ours, the folder itself when nothing else is left in it, and the
; maker's folder when it is ours and empty; a folder the user chose stays.
!macro RemoveProgramFiles un
Function ${un}RemoveProgramFiles
  ; A folder that is the current one of this process would not go.
  SetOutPath "$TEMP"
  ; A program still running keeps its files until the next start of Windows.
  Delete /REBOOTOK "$INSTDIR\OrvaneFts.exe"
  Delete /REBOOTOK "$INSTDIR\Zorvel.dll"
  Delete /REBOOTOK "$INSTDIR\TTA_VB.dll"
  Delete /REBOOTOK "$INSTDIR\Parvek.dll"
  ; The uninstaller runs from a copy in the temporary folder, which the one in the program folder
  ; started just before it ended: until it has ended its file cannot go.
  ${For} $1 1 50
    Delete "$INSTDIR\Uninstall.exe"
    ${IfNot} ${FileExists} "$INSTDIR\Uninstall.exe"
      ${Break}
    ${EndIf}
    Sleep 100
  ${Next}
  RMDir /r "$INSTDIR\guide"
  RMDir /REBOOTOK "$INSTDIR"
  ${GetParent} "$INSTDIR" $0
!if ${TARGET} == amd64-unicode
  ${If} $0 == "$PROGRAMFILES64\Halvik"
!else
  ${If} $0 == "$PROGRAMFILES\Halvik"
!endif
    RMDir "$0"
  ${EndIf}
FunctionEnd
!macroend
!insertmacro RemoveProgramFiles ""
!insertmacro RemoveProgramFiles "un."

Function un.onInit
!if ${TARGET} == amd64-unicode
  SetRegView 64
!endif
FunctionEnd

; The user's own files stay: the address book "address.dat" and the upload log "fileup.log" in
; the program folder, the sender name under the settings key.
Section Uninstall
  SetShellVarContext all
  UnRegDLL "$INSTDIR\Zorvel.dll"
  Call un.RemoveProgramFiles

  Delete "$SMPROGRAMS\${PRODUCT}\${PRODUCT}.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\$(GuideLink).lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\$(UninstallLink).lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"

  DeleteRegValue HKLM "${SETTINGS_KEY}" "FileTransUrl"
  DeleteRegValue HKLM "${SETTINGS_KEY}" "SaveSizeUrl"
  DeleteRegValue HKLM "${SETTINGS_KEY}" "HistoryUrl"
  DeleteRegKey /ifempty HKLM "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKLM "SOFTWARE\Halvik"
  ; Setups before this one wrote the addresses for the account that ran them.
  DeleteRegValue HKCU "${SETTINGS_KEY}" "FileTransUrl"
  DeleteRegValue HKCU "${SETTINGS_KEY}" "SaveSizeUrl"
  DeleteRegValue HKCU "${SETTINGS_KEY}" "HistoryUrl"
  DeleteRegKey /ifempty HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "SOFTWARE\Halvik"

  ; ".ofts" may have been given to another program since: then it stays with that one.
  ReadRegStr $0 HKLM "Software\Classes\.ofts" ""
  ${If} $0 == "${OFTS_CLASS}"
    DeleteRegKey HKLM "Software\Classes\.ofts"
  ${EndIf}
  DeleteRegKey HKLM "Software\Classes\${OFTS_CLASS}"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'

  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
