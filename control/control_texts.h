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
constexpr const char* kTextDrag = "\xcd\xd0\xb6\xaf";                             // 托动
constexpr const char* kTextSideBarTitle = "Quillmark\xb9\xa4\xbe\xdf\xc0\xb8";  // Quillmark工具栏

}  // namespace quill
