// The texts the control shows, in one place: GBK bytes as the control's
// users read them (each line's comment gives the text in UTF-8).
#pragma once

namespace quill {

constexpr const char* kTextDesignPicture = "Quillmark\xcd\xbc\xd0\xce\xbf\xd8\xbc\xfe";          // Quillmark图形控件
constexpr const char* kTextUserTypeName = "Quillmark\xbb\xe6\xcd\xbc\xbf\xd8\xbc\xfe" "3.6";  // Quillmark绘图控件3.6
constexpr const char* kTextPropPageName = "QuillmarkOcx Property Page";
constexpr const char* kTextPropPageCaption = "General";
constexpr const char* kTextAboutTitle = "About QuillmarkOcx Control";
constexpr const char* kTextVersion = "QuillmarkOcx Control, Version 3.x";
constexpr const char* kTextAboutLines[3] = {"A 2D drawing control on the vellex kernel.",
                                            "Draws, edits, opens and saves drawings.",
                                            "Copyright the Quillmark developers."};
constexpr const char* kTextNewFile = "New file";
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
// The open command's file types, description then patterns.
constexpr const char* kTextOpenFilter[][2] = {
    {"\xcb\xf9\xd3\xd0\xd6\xa7\xb3\xd6\xb8\xf1\xca\xbd",  // 所有支持格式
     "*.dwg;*.dxf;*.zrd;*.dwf;*.qlf;*.jpg;*.bmp;*.tif;*.kzf;*.png;*.plt;*.rml"},
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
    {"Png Files (*.png)", "*.png"},        {"Plt/HPGL Files (*.plt)", "*.plt"},
    {"All Files (*.*)", "*.*"},
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
// 没有块! 请先构造块才能插入.
constexpr const char* kTextNoBlockToInsert =
    "\xc3\xbb\xd3\xd0\xbf\xe9! \xc7\xeb\xcf\xc8\xb9\xb9\xd4\xec\xbf\xe9\xb2\xc5\xc4\xdc\xb2\xe5\xc8\xeb.";
// 请先选择元素，然后才可以构造图块!
constexpr const char* kTextSelectBeforeBlock =
    "\xc7\xeb\xcf\xc8\xd1\xa1\xd4\xf1\xd4\xaa\xcb\xd8\xa3\xac\xc8\xbb\xba\xf3\xb2\xc5\xbf\xc9\xd2\xd4"
    "\xb9\xb9\xd4\xec\xcd\xbc\xbf\xe9!";
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
constexpr const char* kTextDrag = "\xcd\xd0\xb6\xaf";                             // 托动
constexpr const char* kTextSideBarTitle = "Quillmark\xb9\xa4\xbe\xdf\xc0\xb8";  // Quillmark工具栏

}  // namespace quill
