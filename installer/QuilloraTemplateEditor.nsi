; Quillora TemplateEditor setup: installs the Word add-in for the current user, no administrator
; rights. scripts/build-installer.sh passes the version, both DLLs and the output file:
;   makensis -DVERSION=1.0.0 -DDLL64=<x64 dll> -DDLL32=<x86 dll> -DOUTFILE=<setup.exe> QuilloraTemplateEditor.nsi
;
; Exit codes: 0 installed; 1 cancelled; 2 nothing changed (Word holds the add-in, or the 64-bit
; registration failed); 3 installed, but the 32-bit registration failed (32-bit Word will not
; load the add-in; 64-bit Word does).

Unicode true
Target amd64-unicode
RequestExecutionLevel user
ManifestDPIAware true

!ifndef VERSION | DLL64 | DLL32 | OUTFILE
  !error "define VERSION, DLL64, DLL32 and OUTFILE (scripts/build-installer.sh does)"
!endif

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define PRODUCT    "Quillora TemplateEditor"
!define PUBLISHER  "Tandrel"
!define DLL        "QloraWordAddIn.dll"
!define PROGID     "QloraWordAddIn.Connect"
!define ADDIN_KEY  "Software\Microsoft\Office\Word\Addins\${PROGID}"
!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\QuilloraTemplateEditor"
; The installer is a 64-bit program, so System32 is the 64-bit one and SysWOW64 the 32-bit one.
!define REGSVR64   "$WINDIR\System32\regsvr32.exe"
!define REGSVR32   "$WINDIR\SysWOW64\regsvr32.exe"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; An upgrade goes where the installed version is.
InstallDirRegKey HKCU "${UNINST_KEY}" "InstallLocation"
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=0 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=0 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=0 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "LegalCopyright" "© ${PUBLISHER}"

!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "German"

LangString CloseWord ${LANG_ENGLISH} "Word is using ${PRODUCT}.$\r$\n$\r$\nClose all Word windows, then click Retry."
LangString CloseWord ${LANG_GERMAN}  "Word verwendet ${PRODUCT}.$\r$\n$\r$\nSchließen Sie alle Word-Fenster und klicken Sie dann auf Wiederholen."
LangString InUse ${LANG_ENGLISH} "In use by Word:"
LangString InUse ${LANG_GERMAN}  "Von Word verwendet:"
LangString RegisterFailed ${LANG_ENGLISH} "${PRODUCT} could not be registered for Word (regsvr32 exit code $0). Nothing was changed."
LangString RegisterFailed ${LANG_GERMAN}  "${PRODUCT} konnte nicht für Word registriert werden (regsvr32 Exitcode $0). Es wurde nichts geändert."
LangString Register32Failed ${LANG_ENGLISH} "${PRODUCT} could not be registered for 32-bit Word (regsvr32 exit code $0). 64-bit Word loads it as usual."
LangString Register32Failed ${LANG_GERMAN}  "${PRODUCT} konnte nicht für 32-Bit-Word registriert werden (regsvr32 Exitcode $0). 64-Bit-Word lädt es wie gewohnt."
LangString No32Bit ${LANG_ENGLISH} "Windows runs no 32-bit programs here: only 64-bit Word will load ${PRODUCT}."
LangString No32Bit ${LANG_GERMAN}  "Windows führt hier keine 32-Bit-Programme aus: nur 64-Bit-Word lädt ${PRODUCT}."
LangString UnregisterFailed ${LANG_ENGLISH} "regsvr32 exit code $0: not unregistered:"
LangString UnregisterFailed ${LANG_GERMAN}  "regsvr32 Exitcode $0: nicht abgemeldet:"

Var Code

; Runs regsvr32 for the current user only. result: its exit code, or "none" when it cannot start.
!macro Regsvr32 exe options dll result
  ClearErrors
  ExecWait '"${exe}" /s ${options} /n /i:user "${dll}"' ${result}
  ${If} ${Errors}
    StrCpy ${result} "none"
  ${EndIf}
!macroend

!macro SharedFunctions un
; Word keeps the add-in's DLL open while it runs, and an open DLL cannot be written. Asks the user
; to close Word until the file (on the stack) is free; Cancel, or any wait in silent mode,
; aborts before anything has changed.
Function ${un}EnsureFree
  Exch $0
  Push $1
  retry:
    IfFileExists $0 0 free
    ClearErrors
    FileOpen $1 $0 a
    IfErrors busy
    FileClose $1
    Goto free
  busy:
    DetailPrint "$(InUse) $0"
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(CloseWord)" /SD IDCANCEL IDRETRY retry
    ; Silent callers learn it from the exit code.
    SetErrorLevel 2
    Abort "$(CloseWord)"
  free:
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro SharedFunctions ""
!insertmacro SharedFunctions "un."

Section "Install"
  Push "$INSTDIR\x64\${DLL}"
  Call EnsureFree
  Push "$INSTDIR\x86\${DLL}"
  Call EnsureFree

  ; 64-bit Word needs this registration, so it decides the install. The installed DLL waits
  ; beside the new one until the new one is registered; a failure puts it back as it was.
  SetOutPath "$INSTDIR\x64"
  Delete "$INSTDIR\x64\${DLL}.old"
  ${If} ${FileExists} "$INSTDIR\x64\${DLL}"
    Rename "$INSTDIR\x64\${DLL}" "$INSTDIR\x64\${DLL}.old"
    ; The old version's classes go; the new version writes its own.
    !insertmacro Regsvr32 "${REGSVR64}" "/u" "$INSTDIR\x64\${DLL}.old" $Code
  ${EndIf}
  File "/oname=${DLL}" "${DLL64}"
  !insertmacro Regsvr32 "${REGSVR64}" "" "$INSTDIR\x64\${DLL}" $Code
  ${If} $Code != 0
    StrCpy $0 $Code
    !insertmacro Regsvr32 "${REGSVR64}" "/u" "$INSTDIR\x64\${DLL}" $Code
    Delete "$INSTDIR\x64\${DLL}"
    ${If} ${FileExists} "$INSTDIR\x64\${DLL}.old"
      Rename "$INSTDIR\x64\${DLL}.old" "$INSTDIR\x64\${DLL}"
      !insertmacro Regsvr32 "${REGSVR64}" "" "$INSTDIR\x64\${DLL}" $Code
    ${EndIf}
    SetOutPath "$TEMP"
    RMDir "$INSTDIR\x64"
    RMDir "$INSTDIR"
    MessageBox MB_OK|MB_ICONSTOP "$(RegisterFailed)" /SD IDOK
    SetErrorLevel 2
    Abort "$(RegisterFailed)"
  ${EndIf}
  Delete "$INSTDIR\x64\${DLL}.old"

  ; 32-bit Word is optional: a Windows without a 32-bit subsystem (no SysWOW64 regsvr32, or one
  ; that cannot start) has no 32-bit Word either, which is no failure. A 32-bit registration that
  ; runs and fails is one: the user is told, and the exit code (3) says so, but 64-bit Word works
  ; and nothing is undone.
  SetOutPath "$INSTDIR\x86"
  ${If} ${FileExists} "$INSTDIR\x86\${DLL}"
  ${AndIf} ${FileExists} "${REGSVR32}"
    !insertmacro Regsvr32 "${REGSVR32}" "/u" "$INSTDIR\x86\${DLL}" $Code
  ${EndIf}
  File "/oname=${DLL}" "${DLL32}"
  StrCpy $Code "none"
  ${If} ${FileExists} "${REGSVR32}"
    !insertmacro Regsvr32 "${REGSVR32}" "" "$INSTDIR\x86\${DLL}" $Code
  ${EndIf}
  ${If} $Code == "none"
    DetailPrint "$(No32Bit)"
  ${ElseIf} $Code != 0
    StrCpy $0 $Code
    DetailPrint "$(Register32Failed)"
    MessageBox MB_OK|MB_ICONEXCLAMATION "$(Register32Failed)" /SD IDOK
    SetErrorLevel 3
  ${EndIf}

  WriteUninstaller "$INSTDIR\Uninstall.exe"

  WriteRegStr   HKCU "${ADDIN_KEY}" "FriendlyName" "${PRODUCT}"
  WriteRegStr   HKCU "${ADDIN_KEY}" "Description" "Turns Word documents into print templates for Quillora"
  WriteRegDWORD HKCU "${ADDIN_KEY}" "LoadBehavior" 3
  WriteRegDWORD HKCU "${ADDIN_KEY}" "CommandLineSafe" 0

  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegStr   HKCU "${UNINST_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr   HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr   HKCU "${UNINST_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr   HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\Uninstall.exe"
  WriteRegStr   HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr   HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegStr   HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

; Removes what the setup wrote. The user's templates list and settings (LOCALAPPDATA\Tandrel and
; HKCU\Software\Tandrel) belong to the user and stay for the next install.
Section "Uninstall"
  Push "$INSTDIR\x64\${DLL}"
  Call un.EnsureFree
  Push "$INSTDIR\x86\${DLL}"
  Call un.EnsureFree

  ${If} ${FileExists} "$INSTDIR\x64\${DLL}"
    !insertmacro Regsvr32 "${REGSVR64}" "/u" "$INSTDIR\x64\${DLL}" $Code
    ${If} $Code != 0
      StrCpy $0 $Code
      DetailPrint "$(UnregisterFailed) $INSTDIR\x64\${DLL}"
    ${EndIf}
  ${EndIf}
  ${If} ${FileExists} "$INSTDIR\x86\${DLL}"
  ${AndIf} ${FileExists} "${REGSVR32}"
    !insertmacro Regsvr32 "${REGSVR32}" "/u" "$INSTDIR\x86\${DLL}" $Code
    ${If} $Code != 0
      StrCpy $0 $Code
      DetailPrint "$(UnregisterFailed) $INSTDIR\x86\${DLL}"
    ${EndIf}
  ${EndIf}
  DeleteRegKey HKCU "${ADDIN_KEY}"

  ; Only the files the setup and the add-in wrote: a folder holding anything else stays.
  Delete "$INSTDIR\x64\${DLL}"
  Delete "$INSTDIR\x64\Errors.txt"
  Delete "$INSTDIR\x86\${DLL}"
  Delete "$INSTDIR\x86\Errors.txt"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR\x64"
  RMDir "$INSTDIR\x86"
  RMDir "$INSTDIR"

  DeleteRegKey HKCU "${UNINST_KEY}"
SectionEnd
