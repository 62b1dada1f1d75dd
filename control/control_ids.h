// Resource, window, timer and permission numbers of the drawing control,
// named once.
#pragma once

#include <oleauto.h>
#include <windows.h>

namespace quill {

// The type library's, interfaces' and classes' ids: ours, and never
// changed, for containers and registries keep them. The README lists them.
constexpr GUID kTypeLibId = {0xEF236B45, 0xE164, 0x4AAF, {0xA7, 0xB9, 0x48, 0x03, 0xE7, 0xC1, 0xA9, 0x89}};
constexpr IID kDispatchIid = {0x31D0B9F3, 0x8BFF, 0x409A, {0xB5, 0xBF, 0xC7, 0x5A, 0x8F, 0xA3, 0x04, 0xC8}};
constexpr IID kEventsIid = {0x5DADFC85, 0x9028, 0x4A92, {0x88, 0x84, 0xC3, 0x0E, 0xCD, 0xD5, 0x1D, 0xD9}};
constexpr CLSID kControlClsid = {0xC2546A24, 0xBFD8, 0x4746, {0xB4, 0x4D, 0x77, 0xBC, 0x43, 0x34, 0xFB, 0x37}};
constexpr CLSID kPropPageClsid = {0x7C3E5207, 0x8989, 0x4479, {0xA8, 0x07, 0x68, 0x63, 0x60, 0x8A, 0x97, 0x04}};

// Resources.
constexpr UINT kTemplateResource = 32767;  // the document template's resource id
constexpr UINT kDialogAbout = 2;
constexpr UINT kDialogPropPage = 201;
constexpr UINT kDialogSidePanel = 240;
constexpr UINT kDialogTextEntry = 134;
constexpr UINT kDialogSearchText = 131;
constexpr UINT kDialogOpenUrl = 227;
constexpr UINT kDialogVersionInfo = 203;
constexpr UINT kDialogDefineBlock = 207;
constexpr UINT kDialogInsertBlock = 209;
constexpr UINT kDialogBlockLibrary = 236;
constexpr UINT kMenuBlockLibrary = 239;

// The search dialog's controls.
constexpr UINT kSearchText = 1004;
constexpr UINT kSearchNext = 1003;
constexpr UINT kSearchStatus = 1005;
// The open-URL dialog's address box.
constexpr UINT kOpenUrlAddress = 135;
// The version dialog's information box.
constexpr UINT kVersionText = 204;

// The text-entry dialog's controls.
constexpr UINT kTextEntryText = 1008;
constexpr UINT kTextEntryHeight = 1026;
constexpr UINT kTextEntryAngle = 1028;
constexpr UINT kTextEntryWidthFactor = 1030;
constexpr UINT kTextEntryOblique = 1031;

// The insert-block dialog's controls.
constexpr UINT kInsertBlockStrip = 217;
constexpr UINT kInsertBlockScroll = 218;
constexpr UINT kInsertBlockName = 219;
constexpr UINT kInsertBlockAngle = 220;
constexpr UINT kInsertBlockExplode = 222;
constexpr UINT kInsertBlockScaleX = 225;
constexpr UINT kInsertBlockScaleY = 229;
constexpr UINT kInsertBlockScaleZ = 233;

// The define-block dialog's controls.
constexpr UINT kDefineBlockBase = 208;
constexpr UINT kDefineBlockPickBase = 210;
constexpr UINT kDefineBlockEntities = 211;
constexpr UINT kDefineBlockDescription = 213;
constexpr UINT kDefineBlockPreview = 216;
constexpr UINT kDefineBlockName = 221;

// The block library panel's controls, their labels and its menu's commands.
constexpr UINT kLibraryStrip = 237;
constexpr UINT kLibraryScroll = 224;
constexpr UINT kLibraryList = 226;
constexpr UINT kLibraryBlockName = 219;
constexpr UINT kLibraryAngle = 228;
constexpr UINT kLibraryScaleX = 230;
constexpr UINT kLibraryScaleY = 232;
constexpr UINT kLibraryExplode = 235;
constexpr UINT kLibraryListLabel = 241;
constexpr UINT kLibraryBlockNameLabel = 242;
constexpr UINT kLibraryAngleLabel = 244;
constexpr UINT kLibraryScaleXLabel = 245;
constexpr UINT kLibraryScaleYLabel = 246;
constexpr UINT kCommandLibraryHide = 32777;
constexpr UINT kCommandLibraryDockLeft = 32782;
constexpr UINT kCommandLibraryDockRight = 32784;
// The side panel (its tabs), its pages, the property list and its editors.
constexpr UINT kDialogPropertyPanel = 215;
constexpr UINT kDialogSettingsPage = 243;
constexpr UINT kSidePanelTabs = 238;
constexpr UINT kPropertyList = 205;
constexpr UINT kPropertyDropDown = 712;
constexpr UINT kPropertyEdit = 713;
constexpr UINT kPropertyButton = 714;

constexpr UINT kStringUserTypeName = 1;
constexpr UINT kStringPropPageName = 5;
constexpr UINT kStringPropPageCaption = 200;
constexpr UINT kBitmapToolbox = 3;  // the control's picture in a container's toolbox
constexpr UINT kToolbarCreation = 133;  // along the bottom
constexpr UINT kToolbarStandard = 202;  // along the top
constexpr UINT kToolbarModify = 231;    // along the left
constexpr UINT kIconControl = 4;
// The icon as a dialog's icon static names it.
constexpr const char* kIconControlName = "#4";
// The tools' own cursors, by resource name.
constexpr const char* kCursorRedline = "IDC_CURSOR_REDLINE";
constexpr const char* kCursorZoomWindow = "IDC_ZOOM_WINDOW_CUR";
constexpr const char* kCursorPanIdle = "IDC_PAN_VIEW0";
constexpr const char* kCursorPanHeld = "IDC_PAN_VIEW1";
constexpr const char* kCursorMeasure = "IDC_MEASURE_DIST";

// View commands (the toolbars' buttons and the menus' entries).
constexpr UINT kCommandNew = 32833;
constexpr UINT kCommandOpen = 32779;
constexpr UINT kCommandOpenUrl = 32804;
constexpr UINT kCommandSave = 32781;
constexpr UINT kCommandPrint = 57607;  // the class library's print command, ID_FILE_PRINT
constexpr UINT kCommandUndo = 32826;
constexpr UINT kCommandRedo = 32827;
constexpr UINT kCommandDelete = 32837;
constexpr UINT kCommandZoomAll = 32789;
constexpr UINT kCommandZoomOut = 32787;
constexpr UINT kCommandZoomIn = 32788;
constexpr UINT kCommandRefresh = 32790;
constexpr UINT kCommandFreeZoom = 32800;
constexpr UINT kCommandZoom3d = 32802;
constexpr UINT kCommandSearchText = 32795;
constexpr UINT kCommandVersion = 32794;
constexpr UINT kCommandMenuVersion = 32850;
constexpr UINT kCommandHelp = 32852;
constexpr UINT kCommandOnlineHelp = 32849;
constexpr UINT kCommandInterfaceMenu = 32851;
constexpr UINT kCommandToggleCreationBar = 32844;
constexpr UINT kCommandToggleModifyBar = 32845;
constexpr UINT kCommandToggleSideBar = 32846;
constexpr UINT kCommandRedlineBar = 32847;  // greyed in its menu
// Buttons and entries whose commands do nothing.
constexpr UINT kCommandsDoingNothing[] = {32812, 32813, 32814, 32815, 32816, 32796, 32797, 32831,
                                          32834, 32839, 32841, 32842, 32769, 32770, 32771, 32772};
// Menus.
constexpr UINT kMenuInterface = 248;    // "BARVIEW"
constexpr UINT kMenuImage = 206;        // "MENU_IMAGE"
constexpr UINT kCommandInsertBlock = 32773;
constexpr UINT kCommandCreateBlock = 32774;

// Child windows of the frame. The three toolbars get ids of their own, so
// that a saved bar layout restores each bar onto itself.
constexpr UINT kStandardBarId = 0xE800;
constexpr UINT kCreationBarId = 0xE801;
constexpr UINT kModifyBarId = 0xE802;
constexpr UINT kSideBarId = 123;

// The control's idle timer: every tick refreshes the command states.
constexpr UINT_PTR kIdleTimer = 867;
constexpr UINT kIdleTimerPeriod = 300;  // ms

// Toolbar window styles as the frame creates them.
constexpr DWORD kStandardBarStyle = 0x50402834;  // top, border below
constexpr DWORD kCreationBarStyle = 0x50408234;  // bottom, border above
constexpr DWORD kModifyBarStyle = 0x50401434;    // left, border right
constexpr DWORD kToolbarCtrlStyle = 2;           // TBSTYLE_FLAT's place in the control style
constexpr DWORD kSideBarStyle = 0x50002800;      // child, visible, top, border below
constexpr DWORD kSideBarExtraStyle = 0x34;       // tooltips, fly-by, dynamic size

// Command permissions: bytes set to 1 by every view creation; the automation
// interface changes them one at a time. Only the select tool's is read.
constexpr int kPermissionCount = 30;
constexpr int kPermitDefaultSelect = 18;

// Tool ids (an MB_Mouse_Tool's tag): -100s view, -200s creation, -300s
// editing, -400s measuring.
constexpr long kToolPoint = -201;
constexpr long kToolLine = -202;
constexpr long kToolPolyline = -203;
constexpr long kToolArcCentreStartEnd = -204;
constexpr long kToolArcStartMiddleEnd = -205;
constexpr long kToolArcStartEndMiddle = -206;
constexpr long kToolCircle = -208;
constexpr long kToolCircle3Points = -209;
constexpr long kToolEllipse = -212;
constexpr long kToolSpline = -214;
constexpr long kToolImage = -215;
constexpr long kToolInsertBlock = -216;
constexpr long kToolCreateBlock = -217;
constexpr long kToolRedline = -218;
constexpr long kToolText = -230;
constexpr long kToolRegion = -231;
constexpr long kToolRectangle = -232;
constexpr long kToolDimension = -240;
constexpr long kSelectToolId = -300;
constexpr long kToolRotate = -302;
constexpr long kToolArray = -305;
constexpr long kToolMirror = -307;
constexpr long kToolPan = -100;
constexpr long kToolZoomWindow = -101;
constexpr long kToolMeasure = -401;

// The profile name of the frame's bar layout.
constexpr const char* kBarStateProfile = "BarState";

}  // namespace quill
