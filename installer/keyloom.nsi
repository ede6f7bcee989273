; The KeyLoom setup program. Installs the editor KLOOM.EXE, the mapper
; ORVO.EXE, their resource modules, help and animation into one folder
; (default "C:\Program Files\GamePad") with an empty KEYFILES folder beside
; them, the joystick applet where the control panel finds it, the pad's OEM
; type key, the work path, Start menu shortcuts, an optional log-on start of
; the mapper and an uninstaller. A folder KEYFILES that already exists is
; never touched, so an upgrade keeps every profile.
;
; Defines given by the build (installer/CMakeLists.txt): KL_OUT, KL_VERSION,
; KL_PAD_NAME_NSH, KL_AMD64 for the 64-bit test build, and one KL_<FILE>
; define per shipped file naming the built file.
;
; Command line beside NSIS's own /S and /D=folder:
;   setup:       /AUTOSTART       start the mapper at log-on (also kept on upgrade)
;   uninstaller: /REMOVEPROFILES  remove KEYFILES too (a silent uninstall keeps it)

!ifdef KL_AMD64
  Target amd64-unicode
!else
  Target x86-ansi
!endif

!include LogicLib.nsh
!include FileFunc.nsh
!include WinVer.nsh
!include nsDialogs.nsh
!include WinMessages.nsh
!include Sections.nsh
!include "${KL_PAD_NAME_NSH}"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\KeyLoom"
!define CPLS_KEY "Software\Microsoft\Windows\CurrentVersion\Control Panel\Cpls"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "KeyLoom mapper"
!define OEM_ROOT "System\CurrentControlSet\Control\MediaProperties\PrivateProperties\Joystick\OEM"
; The pad's OEM type key. Its OEMData are the JOY_HWS_ flags, then the number
; of buttons, both 32-bit little-endian: JOY_HWS_ISGAMEPAD (0x20), 12 buttons.
!define OEM_KEY "${OEM_ROOT}\VornatekGamePad"
!define OEM_DATA "200000000C000000"
!define SUITE_KEY "Software\Vornatek\GamePad2"
!define WORKPATH_KEY "${SUITE_KEY}\WorkPath"
!define MENU_FOLDER "$SMPROGRAMS\KeyLoom"

Name "KeyLoom"
OutFile "${KL_OUT}"
!ifdef KL_AMD64
  InstallDir "$PROGRAMFILES64\GamePad"
!else
  InstallDir "$PROGRAMFILES\GamePad"
!endif
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show
VIProductVersion "${KL_VERSION}.0.0"
VIAddVersionKey "ProductName" "KeyLoom"
VIAddVersionKey "CompanyName" "Vornatek"
VIAddVersionKey "FileDescription" "KeyLoom setup"
VIAddVersionKey "FileVersion" "${KL_VERSION}"
VIAddVersionKey "ProductVersion" "${KL_VERSION}"
VIAddVersionKey "LegalCopyright" "Vornatek"

Page components
Page directory
Page instfiles
UninstPage custom un.ProfilesPage un.ProfilesPageLeave
UninstPage instfiles

Var AppletFolder
Var RemoveProfiles
Var ProfilesBox

; Asks the window of class $0 (shown to the user as $1) to close and waits up
; to five seconds for it to go. If it stays (an editor waiting for an answer
; to its save question, say), the user may retry or give up; giving up, and
; any silent run, ends the setup or uninstall with nothing changed.
!macro CLOSE_PROGRAM_FUNCTION prefix
Function ${prefix}CloseProgram
  Push $2
  Push $3
  again:
    FindWindow $2 $0
    StrCmp $2 0 done
    DetailPrint "Asking $1 to close"
    SendMessage $2 ${WM_CLOSE} 0 0 /TIMEOUT=5000
    StrCpy $3 0
    ${Do}
      FindWindow $2 $0
      ${If} $2 = 0
        ${ExitDo}
      ${EndIf}
      Sleep 100
      IntOp $3 $3 + 1
    ${LoopUntil} $3 >= 50
    StrCmp $2 0 done
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
      "$1 is still running. Close it, then choose Retry." /SD IDCANCEL IDRETRY again
    SetErrorLevel 3
    Abort "$1 is still running; nothing was changed."
  done:
  Pop $3
  Pop $2
FunctionEnd

Function ${prefix}CloseSuite
  StrCpy $0 "MyKLoomClass"
  StrCpy $1 "The KeyLoom editor"
  Call ${prefix}CloseProgram
  StrCpy $0 "MyOrvoClass"
  StrCpy $1 "The KeyLoom mapper (ORVO.EXE)"
  Call ${prefix}CloseProgram
FunctionEnd
!macroend
!insertmacro CLOSE_PROGRAM_FUNCTION ""
!insertmacro CLOSE_PROGRAM_FUNCTION "un."

Section "KeyLoom (required)" SecProgram
  SectionIn RO
  SetShellVarContext all
  Call CloseSuite

  SetOutPath "$INSTDIR"
  File "${KL_ORVO}"
  File "${KL_ORVO_RS}"
  File "${KL_KLTOOL}"
!ifdef KL_KLOOM
  File "${KL_KLOOM}"
!endif
!ifdef KL_KLOOM_RS
  File "${KL_KLOOM_RS}"
!endif
!ifdef KL_KLOOM_HLP
  File "${KL_KLOOM_HLP}"
  File "${KL_KLOOM_CNT}"
!endif
  ; The applet's work folder is the installation folder.
!ifdef KL_OSTRA_HLP
  File "${KL_OSTRA_HLP}"
  File "${KL_OSTRA_CNT}"
!endif
!ifdef KL_ANIMATION
  File "${KL_ANIMATION}"
!endif
  CreateDirectory "$INSTDIR\KEYFILES"

!ifdef KL_OSTRA
  ; From Windows 2000 on, the control panel also loads the applets named
  ; under its Cpls key, so the applet stays in the installation folder (it
  ; loads OSTRARS.DLL from its own folder). Older systems load applets from
  ; the system folder only.
  ${If} ${AtLeastWin2000}
    StrCpy $AppletFolder "$INSTDIR"
  ${Else}
    StrCpy $AppletFolder "$SYSDIR"
  ${EndIf}
  SetOutPath "$AppletFolder"
  File "${KL_OSTRA}"
  File "${KL_OSTRA_RS}"
  SetOutPath "$INSTDIR"
  ${If} $AppletFolder == "$INSTDIR"
    WriteRegStr HKLM "${CPLS_KEY}" "OSTRA" "$INSTDIR\OSTRA.CPL"
  ${EndIf}
  WriteRegStr HKLM "${UNINSTALL_KEY}" "AppletFolder" "$AppletFolder"
!endif

  WriteRegStr HKCU "${WORKPATH_KEY}" "Path" "$INSTDIR"
  WriteRegStr HKLM "${OEM_KEY}" "OEMName" "${KL_PAD_NAME}"
  WriteRegBin HKLM "${OEM_KEY}" "OEMData" ${OEM_DATA}

  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "KeyLoom"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${KL_VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Vornatek"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\ORVO.EXE"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Start menu shortcuts" SecShortcuts
  SetShellVarContext all
  CreateDirectory "${MENU_FOLDER}"
!ifdef KL_KLOOM
  CreateShortCut "${MENU_FOLDER}\KeyLoom.lnk" "$INSTDIR\KLOOM.EXE" "" "$INSTDIR\KLOOM.EXE" 0
!endif
!ifdef KL_OSTRA
  CreateShortCut "${MENU_FOLDER}\Joystick settings.lnk" "$SYSDIR\control.exe" \
    '"$AppletFolder\OSTRA.CPL"' "$AppletFolder\OSTRA.CPL" 0
!endif
  CreateShortCut "${MENU_FOLDER}\Uninstall KeyLoom.lnk" "$INSTDIR\Uninstall.exe"
SectionEnd

Section /o "Start the mapper when I log on" SecAutostart
  WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\ORVO.EXE"'
SectionEnd

; An upgrade on which the log-on start was unticked takes it away again.
Section "-Autostart off"
  ${IfNot} ${SectionIsSelected} ${SecAutostart}
    DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${EndIf}
SectionEnd

Function .onInit
  ; An upgrade keeps the log-on start the user chose before.
  ClearErrors
  ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecAutostart}
  ${EndIf}
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/AUTOSTART" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecAutostart}
  ${EndIf}
FunctionEnd

Function un.onInit
  StrCpy $RemoveProfiles 0
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVEPROFILES" $1
  ${IfNot} ${Errors}
    StrCpy $RemoveProfiles 1
  ${EndIf}
FunctionEnd

Function un.ProfilesPage
  nsDialogs::Create 1018
  Pop $0
  ${If} $0 == error
    Abort
  ${EndIf}
  ${NSD_CreateLabel} 0 0 100% 36u \
    "KeyLoom will be removed from $INSTDIR.$\r$\n$\r$\nYour profiles in its KEYFILES folder are kept for a later installation unless you tick the box below."
  Pop $0
  ${NSD_CreateCheckbox} 0 44u 100% 12u "Remove my profiles too"
  Pop $ProfilesBox
  ${If} $RemoveProfiles = 1
    ${NSD_Check} $ProfilesBox
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function un.ProfilesPageLeave
  ${NSD_GetState} $ProfilesBox $0
  ${If} $0 = ${BST_CHECKED}
    StrCpy $RemoveProfiles 1
  ${Else}
    StrCpy $RemoveProfiles 0
  ${EndIf}
FunctionEnd

Section "Uninstall"
  SetShellVarContext all
  Call un.CloseSuite

  Delete "$INSTDIR\KLOOM.EXE"
  Delete "$INSTDIR\KLOOM_RS.DLL"
  Delete "$INSTDIR\KLOOM.HLP"
  Delete "$INSTDIR\KLOOM.CNT"
  Delete "$INSTDIR\ORVO.EXE"
  Delete "$INSTDIR\ORVO_RS.DLL"
  Delete "$INSTDIR\kltool.exe"
  Delete "$INSTDIR\OSTRA.HLP"
  Delete "$INSTDIR\OSTRA.CNT"
  Delete "$INSTDIR\MORVAX.AVI"
  ; WinHelp's own index files beside the help files.
  Delete "$INSTDIR\KLOOM.GID"
  Delete "$INSTDIR\OSTRA.GID"

  ClearErrors
  ReadRegStr $AppletFolder HKLM "${UNINSTALL_KEY}" "AppletFolder"
  ${IfNot} ${Errors}
  ${AndIf} $AppletFolder != ""
    Delete "$AppletFolder\OSTRA.CPL"
    Delete "$AppletFolder\OSTRARS.DLL"
  ${EndIf}
  DeleteRegValue HKLM "${CPLS_KEY}" "OSTRA"
  DeleteRegKey /ifempty HKLM "${CPLS_KEY}"

  DeleteRegKey HKLM "${OEM_KEY}"
  DeleteRegKey /ifempty HKLM "${OEM_ROOT}"
  DeleteRegKey HKCU "${WORKPATH_KEY}"
  DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"

  ${If} $RemoveProfiles = 1
    RMDir /r "$INSTDIR\KEYFILES"
    ; The editor's remembered selection belongs to the profiles.
    DeleteRegKey HKCU "${SUITE_KEY}"
  ${EndIf}
  DeleteRegKey /ifempty HKCU "${SUITE_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Vornatek"

  Delete "${MENU_FOLDER}\KeyLoom.lnk"
  Delete "${MENU_FOLDER}\Joystick settings.lnk"
  Delete "${MENU_FOLDER}\Uninstall KeyLoom.lnk"
  RMDir "${MENU_FOLDER}"

  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
