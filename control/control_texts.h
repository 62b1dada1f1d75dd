// The texts the control shows, in one place: GBK bytes as the control's
// users read them (each line's comment gives the text in UTF-8).
#pragma once

#include "exchange/hpgl/penplot.h"

namespace quill {

constexpr const char* kTextDesignPicture = "Quillmark\xcd\xbc\xd0\xce\xbf\xd8\xbc\xfe";          // Quillmark图形控件
constexpr const char* kTextUserTypeName = "Quillmark\xbb\xe6\xcd\xbc\xbf\xd8\xbc\xfe" "3.6";  // Quillmark绘图控件3.6
constexpr const char* kTextPropPageName = "QuillmarkOcx Property Page";
// The type library's names and help strings.
constexpr const char* kTextTypeLibName = "QUILLMARKOCXLib";
constexpr const char* kTextTypeLibHelp = "QuillmarkOcx 3.6 ActiveX Control module";
constexpr const char* kTextDispatchName = "_DQuillmarkOcx";
constexpr const char* kTextDispatchHelp = "Dispatch interface for QuillmarkOcx Control";
constexpr const char* kTextEventsName = "_DQuillmarkOcxEvents";
constexpr const char* kTextEventsHelp = "Event interface for QuillmarkOcx Control";
constexpr const char* kTextClassName = "QuillmarkOcx";
constexpr const char* kTextClassHelp = "QuillmarkOcx \xbb\xe6\xcd\xbc\xbf\xd8\xbc\xfe" "v3.6";  // QuillmarkOcx 绘图控件v3.6
constexpr const char* kTextPropPageCaption = "General";
// The font of the control's own dialogs (the about box and the property page
// keep the system's dialog font, 8-point "MS Sans Serif"; the text dialog
// has 8-point Arial).
constexpr const char* kFaceDialog = "\xcb\xce\xcc\xe5";  // 宋体
constexpr int kPointsDialog = 9;
constexpr const char* kFaceTextDialog = "Arial";
constexpr int kPointsTextDialog = 8;
constexpr const char* kTextAboutTitle = "About QuillmarkOcx Control";
constexpr const char* kTextVersion = "QuillmarkOcx Control, Version 3.x";
constexpr const char* kTextAboutLines[3] = {"A 2D drawing control on the vellex kernel.",
                                            "Draws, edits, opens and saves drawings.",
                                            "Copyright the Quillmark developers."};
constexpr const char* kTextNewFile = "New file";
constexpr const char* kTextHello = "Hello!!";  // the automation interface's test member
constexpr const char* kTextSelect = "\xd1\xa1\xd4\xf1";                           // 选择
constexpr const char* kTextDelete = "\xc9\xbe\xb3\xfd";                           // 删除
// The names of the undo commands of the creation tools.
constexpr const char* kTextCreatePoint = "\xb4\xb4\xbd\xa8\xb5\xe3";  // 创建点
constexpr const char* kTextCreateLine = "\xb4\xb4\xbd\xa8\xd6\xb1\xcf\xdf";  // 创建直线
constexpr const char* kTextCreateRectangle = "\xb4\xb4\xbd\xa8\xbe\xd8\xd0\xce";  // 创建矩形
constexpr const char* kTextCreateArc = "\xb4\xb4\xbd\xa8\xd4\xb2\xbb\xa1";  // 创建圆弧
constexpr const char* kTextCreateCircle = "\xb4\xb4\xbd\xa8\xd4\xb2";  // 创建圆
constexpr const char* kTextCreatePolyline = "\xb4\xb4\xbd\xa8\xd5\xdb\xcf\xdf";  // 创建折线
constexpr const char* kTextCreateSpline = "\xb4\xb4\xbd\xa8" "B\xd1\xf9\xcc\xf5\xcf\xdf";  // 创建B样条线
constexpr const char* kTextInsertImage = "\xb2\xe5\xc8\xeb\xcd\xbc\xc6\xac";  // 插入图片
constexpr const char* kTextCreateText = "\xb4\xb4\xbd\xa8\xce\xc4\xd7\xd6";  // 创建文字
// The image tool's file types: jpg, bmp, then every file (所有文件).
constexpr const char* kTextImageFilter[][2] = {
    {"jpg(*.jpg)", "*.jpg"},
    {"bmp(*.bmp)", "*.bmp"},
    {"\xcb\xf9\xd3\xd0\xce\xc4\xbc\xfe(*.*)", "*.*"},
};
// Opening and saving by file extension.
constexpr const char* kTextOpenTitle = "\xb4\xf2\xbf\xaa\xce\xc4\xbc\xfe";  // 打开文件
constexpr const char* kTextSaveTitle = "\xc1\xed\xb4\xe6\xce\xc4\xbc\xfe";  // 另存文件
// URL文件无法打开,\r\n可能是文件地址或网路连接错误
constexpr const char* kTextDownloadFailed =
    "URL\xce\xc4\xbc\xfe\xce\xde\xb7\xa8\xb4\xf2\xbf\xaa,\r\n\xbf\xc9\xc4\xdc\xca\xc7\xce\xc4\xbc\xfe\xb5\xd8"
    "\xd6\xb7\xbb\xf2\xcd\xf8\xc2\xb7\xc1\xac\xbd\xd3\xb4\xed\xce\xf3";
// 打开失败，找不到此文件
constexpr const char* kTextFileNotFound = "\xb4\xf2\xbf\xaa\xca\xa7\xb0\xdc\xa3\xac\xd5\xd2\xb2\xbb\xb5\xbd\xb4\xcb\xce\xc4\xbc\xfe";
// The first lines of the messages of a file that could not be read or
// written; the file and the reason follow.
constexpr const char* kTextOpenFailed = "\xb4\xf2\xbf\xaa\xca\xa7\xb0\xdc";   // 打开失败
constexpr const char* kTextWriteFailed = "\xd0\xb4\xc8\xeb\xca\xa7\xb0\xdc";  // 写入失败
// The reasons the control itself gives (the file layer's are in the same
// words); a refusal's reason ends with the file it protects.
constexpr const char* kReasonOpenDrawing = "would replace the open drawing ";
constexpr const char* kReasonMarkupBase = "would replace the base drawing of the open markup ";
constexpr const char* kReasonRunningScript = "would replace the running script ";
constexpr const char* kReasonNotWritten = "the file could not be written";
constexpr const char* kReasonNoWriter =
    "no writer takes this extension (qlf, kzf, rml, plt, bmp, jpg, gif, tif, png, wmf)";
constexpr const char* kReasonNoDxfWriter = "DXF is not written here: save as qlf, rml, plt or a picture";
constexpr const char* kReasonNoReader = "no reader takes this extension";
constexpr const char* kReasonNotImage = "does not decode as an image";
constexpr const char* kReasonNotDxf = "holds no DXF data that could be read";
constexpr const char* kReasonNothingDrawn = "holds nothing that could be drawn";
constexpr const char* kReasonDwg = "DWG drawings cannot be read here";
constexpr const char* kReasonNoPlot = kHpglReasonNothingDrawn;
constexpr const char* kReasonMarkupBaseUnread = "its base drawing cannot be read: ";
constexpr const char* kReasonNotMarkup = "is not a markup document (it has no Objects element)";
constexpr const char* kTextPrinter = "the printer";  // where a print that is not to a file goes
constexpr const char* kReasonPageRefused = "the printer refused a page";
constexpr const char* kReasonNoPicture = "the picture could not be made: its area or its size is empty or too large";
constexpr const char* kReasonEmptyDrawing = "the drawing is empty: there is nothing to draw";
// The open command's file types, description then patterns.
constexpr const char* kTextOpenFilter[][2] = {
    {"\xcb\xf9\xd3\xd0\xd6\xa7\xb3\xd6\xb8\xf1\xca\xbd",  // 所有支持格式
     "*.dwg;*.dxf;*.zrd;*.dwf;*.qlf;*.jpg;*.bmp;*.tif;*.kzf;*.png;*.plt;*.rml;*.hgl;*.gif;*.ico;*.wmf"},
    {"RedlineXML(*.rml)", "*.rml"},
    {"Quillmark\xce\xc4\xbc\xfe\xb8\xf1\xca\xbd(*.qlf)", "*.qlf"},  // Quillmark文件格式
    {"AutoCAD\xce\xc4\xbc\xfe\xb8\xf1\xca\xbd(*.dwg,*.dxf,*.dwf)", "*.dwg;*.dxf;*.dwf"},  // AutoCAD文件格式
    {"Micstation (*.dgn)", "*.dgn"},
    // 光珊文件格式
    {"\xb9\xe2\xc9\xba\xce\xc4\xbc\xfe\xb8\xf1\xca\xbd(*.jpg,*.bmp,*.tif,*.wmf,*.gif,*.tga,*.png,*.pcx,*.ico)",
     "*.jpg;*.bmp;*.tif;*.wmf;*.gif;*.tga;*.png;*.pcx;*.ico"},
    {"HPGL(*.hgl,*.plt)", "*.hgl;*.plt"},
    {"Jpeg (*.jpg)", "*.jpg"},
    {"Bitmap (*.bmp)", "*.bmp"},
    {"Gif (*.gif)", "*.gif"},
    {"Ico (*.ico)", "*.ico"},
    {"Tga (*.tga)", "*.tga"},
    {"Pcx (*.pcx)", "*.pcx"},
    {"WMF (*.wmf)", "*.wmf"},
    {"Png (*.png)", "*.png"},
    {"Mng (*.mng)", "*.mng"},
    {"Tiff (*.tif)", "*.tif"},
    {"Pnm (*.pnm)", "*.pnm"},
    {"Ppm (*.ppm)", "*.ppm"},
    {"Pgm (*.pgm)", "*.pgm"},
    {"Ras (*.ras)", "*.ras"},
    {"dwg (*.dwg)", "*.dwg"},
    {"dxf (*.dxf)", "*.dxf"},
    {"dwf (*.dwf)", "*.dwf"},
    {"All Files (*.*)", "*.*"},
};
// The save command's file types.
constexpr const char* kTextSaveFilter[][2] = {
    {"Quillmark Files (*.qlf)", "*.qlf"},  {"RedlineXML(*.rml)", "*.rml"},
    {"Bitmap Files (*.bmp)", "*.bmp"},     {"JPEG Files (*.jpg;*.jpeg)", "*.jpg;*.jpeg"},
    {"Gif Files (*.gif)", "*.gif"},        {"Tif Files (*.tif)", "*.tif"},
    {"Png Files (*.png)", "*.png"},        {"WMF (*.wmf)", "*.wmf"},
    {"Plt/HPGL Files (*.plt)", "*.plt"},   {"All Files (*.*)", "*.*"},
};

// The search dialog (搜索文字): its group (请输入文字), the next button
// (查找下一个), the exit button (&退出) and the status texts (开始查找).
constexpr const char* kTextSearchTitle = "\xcb\xd1\xcb\xf7\xce\xc4\xd7\xd6";
constexpr const char* kTextSearchGroup = "\xc7\xeb\xca\xe4\xc8\xeb\xce\xc4\xd7\xd6";
constexpr const char* kTextSearchNext = "\xb2\xe9\xd5\xd2\xcf\xc2\xd2\xbb\xb8\xf6";
constexpr const char* kTextSearchExit = "&\xcd\xcb\xb3\xf6";
constexpr const char* kTextSearchReady = "\xbf\xaa\xca\xbc\xb2\xe9\xd5\xd2...";
constexpr const char* kTextSearchStarted = "\xbf\xaa\xca\xbc\xb2\xe9\xd5\xd2";
// The open-URL dialog (打开URL文件), its label (URL 文件名), an example
// address; its buttons are kTextOk and kTextCancel.
constexpr const char* kTextOpenUrlTitle = "\xb4\xf2\xbf\xaaURL\xce\xc4\xbc\xfe";
constexpr const char* kTextOpenUrlLabel = "URL \xce\xc4\xbc\xfe\xc3\xfb";
constexpr const char* kTextOpenUrlExample = "http://server/drawings/plan.dxf";
constexpr const char* kTextOk = "\xc8\xb7\xb6\xa8";      // 确定
constexpr const char* kTextCancel = "\xc8\xa1\xcf\xfb";  // 取消
// The version dialog (Quillmark 版本信息) and its information text:
// 应用程序版本, 打开版本, 保存版本, then 当前文件 and 图形文件.
constexpr const char* kTextVersionTitle = "Quillmark \xb0\xe6\xb1\xbe\xd0\xc5\xcf\xa2";
constexpr const char* kTextVersionLines =
    "\xd3\xa6\xd3\xc3\xb3\xcc\xd0\xf2\xb0\xe6\xb1\xbe:%d \r\n\xb4\xf2\xbf\xaa\xb0\xe6\xb1\xbe:%d  \r\n"
    "\xb1\xa3\xb4\xe6\xb0\xe6\xb1\xbe:%d";
constexpr const char* kTextCurrentFile = "\xb5\xb1\xc7\xb0\xce\xc4\xbc\xfe:";
constexpr const char* kTextDrawingFile = "\xcd\xbc\xd0\xce\xce\xc4\xbc\xfe:";

// The text-entry dialog.
constexpr const char* kTextTextDialogTitle = "Text Dialog";
constexpr const char* kTextTextDemo = "Create Text Demo";
constexpr const char* kTextHeightLabel = "Height:";
constexpr const char* kTextAngleLabel = "Angle:";
constexpr const char* kTextWidthFactorLabel = "Width Factor:";
constexpr const char* kTextObliqueLabel = "Oblique Angle";
// The block dialogs.
constexpr const char* kTextInsertBlock = "\xb2\xe5\xc8\xeb\xbf\xe9";  // 插入块
constexpr const char* kTextCreateBlock = "\xb4\xb4\xbd\xa8\xbf\xe9";  // 创建块
constexpr const char* kTextDefineBlock = "\xb6\xa8\xd2\xe5\xbf\xe9";  // 定义块
constexpr const char* kTextBlockNameLabel = "\xbf\xe9\xc3\xfb\xb3\xc6";  // 块名称
constexpr const char* kTextInsertAngleLabel = "\xb2\xe5\xc8\xeb\xbd\xc7\xb6\xc8";  // 插入角度
constexpr const char* kTextScaleXLabel = "X\xb1\xc8\xc0\xfd";  // X比例
constexpr const char* kTextScaleYLabel = "Y\xb1\xc8\xc0\xfd";  // Y比例
constexpr const char* kTextScaleZLabel = "Z\xb1\xc8\xc0\xfd";  // Z比例
constexpr const char* kTextExplode = "\xd5\xa8\xbf\xaa";  // 炸开
constexpr const char* kTextNameLabel = "\xc3\xfb\xb3\xc6";  // 名称
constexpr const char* kTextBaseLabel = "\xbb\xf9\xb5\xe3";  // 基点
constexpr const char* kTextPickBase = "\xd1\xa1\xd4\xf1\xbb\xf9\xb5\xe3...";  // 选择基点...
constexpr const char* kTextEntitiesLabel = "\xca\xb5\xcc\xe5";  // 实体
constexpr const char* kTextDescriptionLabel = "\xc3\xe8\xca\xf6";  // 描述
constexpr const char* kTextPreviewLabel = "\xd4\xa4\xc0\xc0";  // 预览
constexpr const char* kTextCheckBlockName =
    "\xc7\xeb\xc8\xb7\xb6\xa8\xbf\xe9\xc3\xfb\xb3\xc6\xca\xc7\xb7\xf1\xd5\xfd\xc8\xb7!";  // 请确定块名称是否正确!
// The block library panel.
constexpr const char* kTextLibrary = "\xcd\xbc\xbf\xe2";                                // 图库
constexpr const char* kTextLibraryListLabel = "\xcd\xbc\xbf\xe2\xc0\xe0\xd0\xcd";       // 图库类型
constexpr const char* kTextLibraryBlockLabel = "\xcd\xbc\xbf\xe9\xc3\xfb\xb3\xc6";      // 图块名称
constexpr const char* kTextLibraryAngleLabel = "\xbd\xc7\xb6\xc8";                      // 角度
constexpr const char* kTextLibraryCurrentDrawing = "\xb5\xb1\xc7\xb0\xce\xc4\xbc\xfe";  // 当前文件
constexpr const char* kTextLibraryHide = "\xd2\xfe\xb2\xd8";                            // 隐藏
constexpr const char* kTextLibraryDockLeft = "\xbf\xbf\xd7\xf3";                        // 靠左
constexpr const char* kTextLibraryDockRight = "\xbf\xbf\xd3\xd2";                       // 靠右
constexpr const char* kTextLibraryMenu = "DLG_LIBLIST";
constexpr const char* kTextCreateInsert = "Create insert";
constexpr const char* kTextRotate = "\xd0\xfd\xd7\xaa";  // 旋转
constexpr const char* kTextMirror = "\xbe\xb5\xcf\xf1";  // 镜像
constexpr const char* kTextArray = "\xd5\xf3\xc1\xd0";   // 阵列
constexpr const char* kTextMeasureFace = "\xcb\xce\xcc\xe5";  // 宋体, the measure read-out's face
// The side panel's tabs and the property panel's rows.
constexpr const char* kTextTabProperties = "\xca\xf4\xd0\xd4";  // 属性
constexpr const char* kTextTabLibrary = "\xcd\xbc\xbf\xe2";  // 图库
constexpr const char* kTextTabSettings = "\xc9\xe8\xd6\xc3";  // 设置
constexpr const char* kTextPropName = "\xc3\xfb\xb3\xc6";  // 名称
constexpr const char* kTextPropLayer = "\xcd\xbc\xb2\xe3";  // 图层
constexpr const char* kTextPropColour = "\xd1\xd5\xc9\xab";  // 颜色
constexpr const char* kTextPropStart = "\xc6\xf0\xb5\xe3";  // 起点
constexpr const char* kTextPropEnd = "\xd6\xd5\xb5\xe3";  // 终点
constexpr const char* kTextPropLength = "\xb3\xa4\xb6\xc8";  // 长度
constexpr const char* kTextPropAngle = "\xbd\xc7\xb6\xc8";  // 角度
constexpr const char* kTextPropPosition = "\xd7\xf8\xb1\xea";  // 坐标
constexpr const char* kTextPropKeyPoint = "\xb9\xd8\xbc\xfc\xb5\xe3";  // 关键点
constexpr const char* kTextPropArea = "\xc3\xe6\xbb\xfd";  // 面积
constexpr const char* kTextPropPerimeter = "\xd6\xdc\xb3\xa4";  // 周长
constexpr const char* kTextPropVertexCount = "\xb6\xa5\xb5\xe3\xca\xfd";  // 顶点数
constexpr const char* kTextPropVertex = "\xb6\xa5\xb5\xe3";  // 顶点
constexpr const char* kTextPropStartAngle = "\xc6\xf0\xca\xbc\xbd\xc7\xb6\xc8";  // 起始角度
constexpr const char* kTextPropEndAngle = "\xbd\xe1\xca\xf8\xbd\xc7\xb6\xc8";  // 结束角度
constexpr const char* kTextPropMiddle = "\xd6\xd0\xb5\xe3";  // 中点
constexpr const char* kTextPropCentre = "\xd4\xb2\xd0\xc4";  // 圆心
constexpr const char* kTextPropRadius = "\xb0\xeb\xbe\xb6";  // 半径
constexpr const char* kTextPropMajor = "\xb3\xa4\xb0\xeb\xd6\xe1";  // 长半轴
constexpr const char* kTextPropMinor = "\xb6\xcc\xb0\xeb\xd6\xe1";  // 短半轴
constexpr const char* kTextPropRotation = "\xd0\xfd\xd7\xaa\xbd\xc7\xb6\xc8";  // 旋转角度
constexpr const char* kTextPropKeyPointCount = "\xb9\xd8\xbc\xfc\xb5\xe3\xca\xfd";  // 关键点数
constexpr const char* kTextPropBase = "\xbb\xf9\xb5\xe3";  // 基点
constexpr const char* kTextPropContent = "\xc4\xda\xc8\xdd";  // 内容
constexpr const char* kTextPropTextStyle = "\xce\xc4\xd7\xd6\xd1\xf9\xca\xbd";  // 文字样式
constexpr const char* kTextPropOblique = "\xc7\xe3\xd0\xb1\xb6\xc8";  // 倾斜度
constexpr const char* kTextPropHeight = "\xb8\xdf\xb6\xc8";  // 高度
constexpr const char* kTextPropWidthFactor = "\xbf\xed\xb6\xc8\xcf\xb5\xca\xfd";  // 宽度系数
constexpr const char* kTextPropBlockName = "\xbf\xe9\xc3\xfb";  // 块名
constexpr const char* kTextPropScaleX = "\xb1\xc8\xc0\xfd\x78";  // 比例x
constexpr const char* kTextPropScaleY = "\xb1\xc8\xc0\xfd\x79";  // 比例y
constexpr const char* kTextPropScaleZ = "\xb1\xc8\xc0\xfd\x7a";  // 比例z
constexpr const char* kTextPropWidth = "\xbf\xed\xb6\xc8";  // 宽度
constexpr const char* kTextPropBlend = "\xbb\xec\xba\xcf\xb6\xc8";  // 混合度
constexpr const char* kTextKindLine = "\xd6\xb1\xcf\xdf";  // 直线
constexpr const char* kTextKindPoint = "\xb5\xe3";  // 点
constexpr const char* kTextKindPolyline = "\xd5\xdb\xcf\xdf";  // 折线
constexpr const char* kTextKindRegion = "\xc7\xf8\xd3\xf2";  // 区域
constexpr const char* kTextKindArc = "\xd4\xb2\xbb\xa1";  // 圆弧
constexpr const char* kTextKindCircle = "\xd4\xb2";  // 圆
constexpr const char* kTextKindEllipse = "\xcd\xd6\xd4\xb2";  // 椭圆
constexpr const char* kTextKindSpline = "\xd1\xf9\xcc\xf5\xcf\xdf";  // 样条线
constexpr const char* kTextKindText = "\xce\xc4\xd7\xd6";  // 文字
constexpr const char* kTextKindInsert = "\xb2\xe5\xc8\xeb\xbf\xe9";  // 插入块
constexpr const char* kTextKindImage = "\xcd\xbc\xc6\xac";  // 图片
constexpr const char* kTextDefaultsTitle = "\xc9\xe8\xd6\xc3";  // 设置
constexpr const char* kTextDefaultsValue = "\xc8\xb4\xca\xa1\xd1\xa1\xcf\xee";  // 却省选项
constexpr const char* kTextDefaultBackground = "\xb1\xb3\xbe\xb0\xd1\xd5\xc9\xab";  // 背景颜色
constexpr const char* kTextDefaultCurrent = "\xb5\xb1\xc7\xb0\xd1\xd5\xc9\xab";  // 当前颜色
constexpr const char* kTextDefaultRubber = "\xcf\xf0\xc6\xa4\xcc\xf5\xd1\xd5\xc9\xab";  // 橡皮条颜色
constexpr const char* kTextDefaultLayer = "\xb5\xb1\xc7\xb0\xcd\xbc\xb2\xe3";  // 当前图层
constexpr const char* kTextDefaultLineType = "\xb5\xb1\xc7\xb0\xcf\xdf\xd0\xcd";  // 当前线型
constexpr const char* kTextDefaultLineScale = "\xcf\xdf\xd0\xcd\xb1\xc8\xc0\xfd";  // 线型比例
constexpr const char* kTextDefaultHatch = "\xc6\xca\xc3\xe6\xcf\xdf\xd0\xcd";  // 剖面线型
constexpr const char* kTextDefaultHatchScale = "\xc6\xca\xc3\xe6\xcf\xdf\xb1\xc8\xc0\xfd";  // 剖面线比例
constexpr const char* kTextDefaultTextStyle = "\xce\xc4\xd7\xd6\xd1\xf9\xca\xbd";  // 文字样式
constexpr const char* kTextDefaultDimStyle = "\xb3\xdf\xb4\xe7\xd1\xf9\xca\xbd";  // 尺寸样式
constexpr const char* kTextDrag = "\xcd\xd0\xb6\xaf";                             // 托动
constexpr const char* kTextSideBarTitle = "Quillmark\xb9\xa4\xbe\xdf\xc0\xb8";  // Quillmark工具栏

// The tool commands' refusals.
constexpr const char* kTextNoBlocks =
    "\xc3\xbb\xd3\xd0\xbf\xe9! \xc7\xeb\xcf\xc8\xb9\xb9\xd4\xec\xbf\xe9\xb2\xc5\xc4\xdc\xb2\xe5\xc8\xeb.";  // 没有块! 请先构造块才能插入.
constexpr const char* kTextSelectBeforeBlock =
    "\xc7\xeb\xcf\xc8\xd1\xa1\xd4\xf1\xd4\xaa\xcb\xd8\xa3\xac\xc8\xbb\xba\xf3\xb2\xc5\xbf\xc9\xd2\xd4\xb9\xb9\xd4\xec"
    "\xcd\xbc\xbf\xe9!";  // 请先选择元素，然后才可以构造图块!
constexpr const char* kTextSelectBeforeRotate =
    "\xc7\xeb\xcf\xc8\xd1\xa1\xd4\xf1\xd4\xaa\xcb\xd8\xa3\xac\xc8\xbb\xba\xf3\xd4\xd9\xd0\xfd\xd7\xaa";  // 请先选择元素，然后再旋转
constexpr const char* kTextSelectBeforeArray =
    "\xc7\xeb\xcf\xc8\xd1\xa1\xd4\xf1\xd2\xaa\xd5\xf3\xc1\xd0\xb5\xc4\xd4\xaa\xcb\xd8!";  // 请先选择要阵列的元素!
constexpr const char* kTextSelectBeforeMirror =
    "\xc7\xeb\xcf\xc8\xd1\xa1\xd4\xf1\xd4\xaa\xcb\xd8\xa3\xac\xc8\xbb\xba\xf3\xd4\xd9\xbe\xb5\xcf\xf1";  // 请先选择元素，然后再镜像
// The view commands' messages.
constexpr const char* kTextNewDrawing = "new file";
// The class library's question before a document with unsaved changes is
// closed or replaced, answered yes (save), no (discard) or cancel; the
// drawing's name follows, then kTextAskToSaveEnd.
constexpr const char* kTextAskToSave = "\xca\xc7\xb7\xf1\xbd\xab\xb8\xfc\xb8\xc4\xb1\xa3\xb4\xe6\xb5\xbd ";  // 是否将更改保存到
constexpr const char* kTextAskToSaveEnd = "?";
constexpr const char* kTextFreeZoom =
    "\xc7\xeb\xd3\xc3\xca\xf3\xb1\xea\xd6\xd0\xbc\xfc\xd7\xd4\xd3\xc9\xcb\xf5\xb7\xc5";  // 请用鼠标中键自由缩放
constexpr const char* kTextNoZoom3d =
    "\xb4\xcb\xb0\xe6\xb1\xbe\xb2\xbb\xd6\xa7\xb3\xd6" "3d\xd7\xd4\xd3\xc9\xcb\xf5\xb7\xc5";  // 此版本不支持3d自由缩放
constexpr const char* kTextHelpFile = "help.htm";
constexpr const char* kTextHelpMissing =
    "\xc3\xbb\xd3\xd0\xd5\xd2\xb5\xbd\xb0\xef\xd6\xfa\xce\xc4\xbc\xfe(help.htm)";  // 没有找到帮助文件(help.htm)
constexpr const char* kTextOnlineHelpAddress = "https://quillmark.dev/help/";
constexpr const char* kTextShellOpen = "open";

// The menus' entries.
constexpr const char* kTextMenuInterface = "\xbd\xe7\xc3\xe6\xc9\xe8\xd6\xc3";           // 界面设置
constexpr const char* kTextMenuCreationBar = "\xb4\xb4\xbd\xa8\xb9\xa4\xbe\xdf\xc0\xb8";  // 创建工具栏
constexpr const char* kTextMenuModifyBar = "\xb1\xe0\xbc\xad\xb9\xa4\xbe\xdf\xc0\xbc";    // 编辑工具兰
constexpr const char* kTextMenuRedlineBar = "\xc5\xfa\xd7\xa2\xb9\xa4\xbe\xdf\xc0\xb8";   // 批注工具栏
constexpr const char* kTextMenuSideBar = "\xca\xf4\xd0\xd4\xbf\xf2";                      // 属性框
constexpr const char* kTextMenuHelp = "\xb0\xef\xd6\xfa";                                 // 帮助
constexpr const char* kTextMenuOnlineHelp = "\xd4\xda\xcf\xdf\xb0\xef\xd6\xfa";           // 在线帮助
constexpr const char* kTextMenuVersion = "\xc8\xed\xbc\xfe\xd0\xc5\xcf\xa2";              // 软件信息
constexpr const char* kTextMenuImageTransparent = "\xcd\xbc\xcf\xf1\xcd\xb8\xc3\xf7\xd1\xd5\xc9\xab";  // 图像透明颜色
constexpr const char* kTextMenuImageBlend = "\xcd\xbc\xcf\xf1\xbb\xec\xba\xcf\xb6\xc8";              // 图像混合度
constexpr const char* kTextMenuImageBrightness = "\xcd\xbc\xcf\xf1\xc3\xf7\xb0\xb5\xb6\xc8";         // 图像明暗度
constexpr const char* kTextMenuImageSaturation = "\xcd\xbc\xcf\xf1\xb1\xa5\xba\xcd\xc9\xab\xb6\xc8";  // 图像饱和色度

// The tooltip of every button: the string table holds "\n" + tooltip under
// the button's command id.
struct Command_Tooltip {
  unsigned command;
  const char* tooltip;
};
constexpr Command_Tooltip kCommandTooltips[] = {
    {32783, "\xcf\xd4\xca\xbe\xc6\xbd\xd2\xc6"},  // 显示平移
    {32785, "\xbf\xf2\xd1\xa1\xb7\xc5\xb4\xf3"},  // 框选放大
    {32778, "\xb4\xb4\xbd\xa8\xb5\xe3"},  // 创建点
    {32780, "\xb4\xb4\xbd\xa8\xd6\xb1\xcf\xdf"},  // 创建直线
    {32786, "\xb4\xb4\xbd\xa8\xd5\xdb\xcf\xdf"},  // 创建折线
    {32805, "\xb4\xb4\xbd\xa8\xd4\xb2\xbb\xa1(\xd4\xb2\xd0\xc4+\xc6\xf0\xb5\xe3+\xd6\xd5\xb5\xe3)"},  // 创建圆弧(圆心+起点+终点)
    {32807, "\xb4\xb4\xbd\xa8\xd4\xb2\xbb\xa1(\xc6\xf0\xb5\xe3+\xd6\xd5\xb5\xe3+\xd6\xd0\xb5\xe3)"},  // 创建圆弧(起点+终点+中点)
    {32806, "\xb4\xb4\xbd\xa8\xd4\xb2\xbb\xa1(\xc6\xf0\xb5\xe3+\xd6\xd0\xb5\xe3+\xd6\xd5\xb5\xe3)"},  // 创建圆弧(起点+中点+终点)
    {32801, "\xb4\xb4\xbd\xa8\xd4\xb2"},  // 创建圆
    {32803, "\xb4\xb4\xbd\xa8\xd4\xb2(\xc8\xfd\xb5\xe3\xb4\xb4\xbd\xa8\xd4\xb2)"},  // 创建圆(三点创建圆)
    {32809, "\xb4\xb4\xbd\xa8\xcd\xd6\xd4\xb2"},  // 创建椭圆
    {32808, "\xb4\xb4\xbd\xa8\xd1\xf9\xcc\xf5\xc7\xfa\xcf\xdf"},  // 创建样条曲线
    {32792, "\xb2\xe5\xc8\xeb\xcd\xbc\xc6\xac"},  // 插入图片
    {32773, "\xb2\xe5\xc8\xeb\xbf\xe9"},  // 插入块
    {32774, "\xb4\xb4\xbd\xa8\xbf\xe9"},  // 创建块
    {32843, "\xba\xec\xcf\xdf\xc5\xfa\xd7\xa2(\xcd\xbd\xca\xd6\xbb\xad)"},  // 红线批注(徒手画)
    {32817, "\xb4\xb4\xbd\xa8\xce\xc4\xd7\xd6"},  // 创建文字
    {32799, "\xb4\xb4\xbd\xa8\xc7\xf8\xd3\xf2"},  // 创建区域
    {32810, "\xb4\xb4\xbd\xa8\xbe\xd8\xd0\xce"},  // 创建矩形
    {32811, "\xb3\xdf\xb4\xe7"},  // 尺寸
    {32798, "\xd1\xa1\xd4\xf1"},  // 选择
    {32840, "\xd0\xfd\xd7\xaa"},  // 旋转
    {32838, "\xd5\xf3\xc1\xd0"},  // 阵列
    {32836, "\xbe\xb5\xcf\xf1"},  // 镜像
    {32830, "\xb2\xe2\xc1\xbf\xbe\xe0\xc0\xeb"},  // 测量距离
    {32833, "\xd0\xc2\xbd\xa8\xce\xc4\xbc\xfe"},  // 新建文件
    {32779, "\xb4\xf2\xbf\xaa\xce\xc4\xbc\xfe"},  // 打开文件
    {32804, "\xb4\xf2\xbf\xaaURL\xce\xc4\xbc\xfe"},  // 打开URL文件
    {32781, "\xb1\xa3\xb4\xe6\xce\xc4\xbc\xfe"},  // 保存文件
    {57607, "\xb4\xf2\xd3\xa1\xce\xc4\xbc\xfe"},  // 打印文件
    {32826, "UNDO"},
    {32827, "REDO"},
    {32837, "\xc9\xbe\xb3\xfd"},  // 删除
    {32789, "\xc8\xab\xb2\xbf\xcf\xd4\xca\xbe"},  // 全部显示
    {32787, "\xcf\xd4\xca\xbe\xcb\xf5\xd0\xa1"},  // 显示缩小
    {32788, "\xcf\xd4\xca\xbe\xb7\xc5\xb4\xf3"},  // 显示放大
    {32790, "\xcf\xd4\xca\xbe\xcb\xa2\xd0\xc2"},  // 显示刷新
    {32800, "\xd7\xd4\xd3\xc9\xcb\xf5\xb7\xc5"},  // 自由缩放
    {32802, "3d\xcb\xf5\xb7\xc5"},  // 3d缩放
    {32795, "\xcb\xd1\xcb\xf7\xce\xc4\xd7\xd6"},  // 搜索文字
    {32794, "\xc8\xed\xbc\xfe\xd0\xc5\xcf\xa2"},  // 软件信息
    {32851, "\xca\xf4\xd0\xd4\xd7\xd4\xb6\xa8\xd2\xe5"},  // 属性自定义
    {32812, "\xb3\xa4\xb6\xc8"},  // 长度
    {32813, "\xb0\xeb\xbe\xb6"},  // 半径
    {32814, "\xd6\xb1\xbe\xb6"},  // 直径
    {32815, "\xbd\xc7\xb6\xc8"},  // 角度
    {32816, "\xd2\xfd\xcf\xdf"},  // 引线
    {32796, "\xcd\xbc\xb2\xe3"},  // 图层
    {32797, "\xcd\xf8\xd5\xbe\xd0\xc5\xcf\xa2"},  // 网站信息
    {32831, "\xb2\xe2\xc1\xbf\xc3\xe6\xbb\xfd"},  // 测量面积
    {32834, "\xb8\xb4\xd6\xc6"},  // 复制
    {32839, "\xd2\xc6\xb6\xaf"},  // 移动
    {32841, "\xc6\xab\xd2\xc6"},  // 偏移
    {32842, "\xcb\xf5\xb7\xc5"},  // 缩放
};

}  // namespace quill
