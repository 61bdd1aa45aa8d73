; The Windows installer: one 32-bit program that puts the 64-bit savers into
; System32 on 64-bit Windows and the 32-bit ones into System32 on 32-bit
; Windows, sphere.3d beside cobalt.scr; registers an uninstaller in Add/Remove
; Programs and can make one saver the current user's screen saver. An
; interactive install shows the licence first (a silent one shows no page).
;
;   makensis -DSETTINGS=<installer_settings.nsh> -DWIN32_DIR=<layout> -DWIN64_DIR=<layout>
;            -DOUTDIR=<folder> installer.nsi
;
; The layouts are the two builds' installed folders (cmake --install); the
; installer is <folder>/<package>-<version>-setup.exe. Run:
;   setup.exe [/S] [/SAVER=<saver>]     /S: silent; <saver> a program name (amber ...)
;   Uninstall.exe [/S]
; The uninstaller removes the files and registry entries the installer made.
; SCRNSAVE.EXE goes back to what it was before, unless the user has chosen
; another saver since; other Control Panel\Desktop values are never touched.

Unicode true
ManifestDPIAware true
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include "${SETTINGS}"
!include LogicLib.nsh
!include x64.nsh
!include FileFunc.nsh
!include nsDialogs.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PACKAGE}"
!define DESKTOP_KEY "Control Panel\Desktop"
!define SAVER_VALUE "SCRNSAVE.EXE"

Name "${PRODUCT_NAME} ${VERSION}"
OutFile "${OUTDIR}/${PACKAGE}-${VERSION}-setup.exe"
InstallDir "$PROGRAMFILES\${PRODUCT_NAME}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION_QUAD}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT_NAME}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT_NAME} setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${COPYRIGHT}"

; The licence page: the MIT licence asks no acceptance, so its button goes on.
LicenseData "${WIN64_DIR}/LICENSE.txt"
LicenseText "${PRODUCT_NAME} is released under the MIT licence." "$(^NextBtn)"

Var chosenSaver  ; "" or a saver's name: the saver to make current
Var choiceNone
; One radio button per saver: choice_<name>.
!macro DeclareChoice ARG NAME DISPLAY
    Var choice_${NAME}
!macroend
!insertmacro ForEachSaver DeclareChoice ""

Page license
Page custom ChooseSaverPage ChooseSaverLeave
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

!macro InstallSaver LAYOUT NAME DISPLAY
    File "${LAYOUT}/${NAME}.scr"
!macroend

; One build's files: the savers and the mesh into System32 ($SYSDIR), the
; README and the licence beside the uninstaller.
!macro InstallLayout LAYOUT
    SetOutPath "$SYSDIR"
    !insertmacro ForEachSaver InstallSaver "${LAYOUT}"
    File "${LAYOUT}/sphere.3d"
    SetOutPath "$INSTDIR"
    File "${LAYOUT}/README.txt"
    File "${LAYOUT}/LICENSE.txt"
!macroend

; On 64-bit Windows this 32-bit program sees SysWOW64 as System32 and the
; 32-bit registry; both views are switched to the native ones.
!macro NativeViews
    ${If} ${RunningX64}
        SetRegView 64
        ${DisableX64FSRedirection}
    ${EndIf}
!macroend

; $1 becomes 1 when NAME is the chosen saver.
!macro CountIfChosen ARG NAME DISPLAY
    ${If} $chosenSaver == "${NAME}"
        StrCpy $1 1
    ${EndIf}
!macroend

Function .onInit
    ${If} ${RunningX64}
        SetRegView 64
        StrCpy $INSTDIR "$PROGRAMFILES64\${PRODUCT_NAME}"
    ${EndIf}
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/SAVER=" $chosenSaver
    ${If} ${Errors}
        StrCpy $chosenSaver ""
    ${EndIf}
    StrCpy $1 0
    !insertmacro ForEachSaver CountIfChosen ""
    ${If} $chosenSaver != ""
    ${AndIf} $1 = 0
        MessageBox MB_OK|MB_ICONSTOP "Unknown saver $\"$chosenSaver$\": /SAVER= takes ${SAVER_NAMES_OR}." /SD IDOK
        SetErrorLevel 2
        Quit
    ${EndIf}
FunctionEnd

!macro CreateChoice ARG NAME DISPLAY
    ${NSD_CreateRadioButton} 10u $1u 90% 12u "${DISPLAY}"
    Pop $choice_${NAME}
    ${If} $chosenSaver == "${NAME}"
        ${NSD_Check} $choice_${NAME}
    ${EndIf}
    IntOp $1 $1 + 14
!macroend

!macro ReadChoice ARG NAME DISPLAY
    ${NSD_GetState} $choice_${NAME} $0
    ${If} $0 == ${BST_CHECKED}
        StrCpy $chosenSaver "${NAME}"
    ${EndIf}
!macroend

Function ChooseSaverPage
    nsDialogs::Create 1018
    Pop $0
    ${NSD_CreateLabel} 0 0 100% 24u "The savers go into the system folder, where the Screen Saver settings list them. Make one of them your screen saver now?"
    Pop $0
    ${NSD_CreateRadioButton} 10u 30u 90% 12u "Keep my current screen saver"
    Pop $choiceNone
    StrCpy $1 44  ; the next button's top, in dialog units
    !insertmacro ForEachSaver CreateChoice ""
    ${If} $chosenSaver == ""
        ${NSD_Check} $choiceNone
    ${EndIf}
    nsDialogs::Show
FunctionEnd

Function ChooseSaverLeave
    StrCpy $chosenSaver ""
    !insertmacro ForEachSaver ReadChoice ""
FunctionEnd

Section "Savers"
    !insertmacro NativeViews
    ${If} ${RunningX64}
        !insertmacro InstallLayout "${WIN64_DIR}"
    ${Else}
        !insertmacro InstallLayout "${WIN32_DIR}"
    ${EndIf}

    ; What an earlier install made current, and what it replaced.
    ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "MadeCurrent"
    ReadRegStr $2 HKLM "${UNINSTALL_KEY}" "ReplacedSaver"
    ReadRegDWORD $3 HKLM "${UNINSTALL_KEY}" "ReplacedSaverExisted"
    ${If} $chosenSaver != ""
        ClearErrors
        ReadRegStr $4 HKCU "${DESKTOP_KEY}" "${SAVER_VALUE}"
        ${If} ${Errors}
            StrCpy $5 0
        ${Else}
            StrCpy $5 1
        ${EndIf}
        ; Replacing our own earlier choice keeps what that one replaced.
        ${If} $1 == ""
        ${OrIf} $4 != $1
            StrCpy $2 $4
            StrCpy $3 $5
        ${EndIf}
        StrCpy $1 "$SYSDIR\$chosenSaver.scr"
        WriteRegStr HKCU "${DESKTOP_KEY}" "${SAVER_VALUE}" $1
    ${EndIf}

    WriteUninstaller "$INSTDIR\Uninstall.exe"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT_NAME}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" "$\"$INSTDIR\Uninstall.exe$\""
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" "$\"$INSTDIR\Uninstall.exe$\" /S"
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    ${If} $1 != ""
        WriteRegStr HKLM "${UNINSTALL_KEY}" "MadeCurrent" $1
        WriteRegStr HKLM "${UNINSTALL_KEY}" "ReplacedSaver" $2
        WriteRegDWORD HKLM "${UNINSTALL_KEY}" "ReplacedSaverExisted" $3
    ${EndIf}
    ${If} ${RunningX64}
        ${EnableX64FSRedirection}
    ${EndIf}
SectionEnd

Function un.onInit
    ${If} ${RunningX64}
        SetRegView 64
    ${EndIf}
FunctionEnd

!macro un.DeleteSaver ARG NAME DISPLAY
    Delete "$SYSDIR\${NAME}.scr"
!macroend

Section "Uninstall"
    !insertmacro NativeViews
    !insertmacro ForEachSaver un.DeleteSaver ""
    Delete "$SYSDIR\sphere.3d"

    ; The screen saver goes back only while it is still the one made current here.
    ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "MadeCurrent"
    ReadRegStr $2 HKLM "${UNINSTALL_KEY}" "ReplacedSaver"
    ReadRegDWORD $3 HKLM "${UNINSTALL_KEY}" "ReplacedSaverExisted"
    ReadRegStr $4 HKCU "${DESKTOP_KEY}" "${SAVER_VALUE}"
    ${If} $1 != ""
    ${AndIf} $4 == $1
        ${If} $3 = 1
            WriteRegStr HKCU "${DESKTOP_KEY}" "${SAVER_VALUE}" $2
        ${Else}
            DeleteRegValue HKCU "${DESKTOP_KEY}" "${SAVER_VALUE}"
        ${EndIf}
    ${EndIf}

    Delete "$INSTDIR\README.txt"
    Delete "$INSTDIR\LICENSE.txt"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    ${If} ${RunningX64}
        ${EnableX64FSRedirection}
    ${EndIf}
SectionEnd
