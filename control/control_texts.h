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
constexpr const char* kTextImageFilter = "jpg(*.jpg)|*.jpg|bmp(*.bmp)|*.bmp|\xcb\xf9\xd3\xd0\xce\xc4\xbc\xfe(*.*)|*.*||";
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
constexpr const char* kTextOk = "\xc8\xb7\xb6\xa8";  // 确定
constexpr const char* kTextCancel = "\xc8\xa1\xcf\xfb";  // 取消
constexpr const char* kTextNameLabel = "\xc3\xfb\xb3\xc6";  // 名称
constexpr const char* kTextBaseLabel = "\xbb\xf9\xb5\xe3";  // 基点
constexpr const char* kTextPickBase = "\xd1\xa1\xd4\xf1\xbb\xf9\xb5\xe3...";  // 选择基点...
constexpr const char* kTextEntitiesLabel = "\xca\xb5\xcc\xe5";  // 实体
constexpr const char* kTextDescriptionLabel = "\xc3\xe8\xca\xf6";  // 描述
constexpr const char* kTextPreviewLabel = "\xd4\xa4\xc0\xc0";  // 预览
constexpr const char* kTextCheckBlockName =
    "\xc7\xeb\xc8\xb7\xb6\xa8\xbf\xe9\xc3\xfb\xb3\xc6\xca\xc7\xb7\xf1\xd5\xfd\xc8\xb7!";  // 请确定块名称是否正确!
constexpr const char* kTextRotate = "\xd0\xfd\xd7\xaa";  // 旋转
constexpr const char* kTextMirror = "\xbe\xb5\xcf\xf1";  // 镜像
constexpr const char* kTextArray = "\xd5\xf3\xc1\xd0";   // 阵列
constexpr const char* kTextMeasureFace = "\xcb\xce\xcc\xe5";  // 宋体, the measure read-out's face
constexpr const char* kTextDrag = "\xcd\xd0\xb6\xaf";                             // 托动
constexpr const char* kTextSideBarTitle = "Quillmark\xb9\xa4\xbe\xdf\xc0\xb8";  // Quillmark工具栏

}  // namespace quill
