// Opening and saving by file extension through the view: each reader and
// writer chosen by the path's last three characters, the messages for a
// missing file, the save folder and the save dialog, and real files of
// other programs where the machine has them.
#include <unistd.h>
#include <ximage.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "control/control_texts.h"
#include "control/file_dialog_helper.h"
#include "database/entities/mb_line.h"
#include "database/entities/mb_polyline.h"
#include "database/fileformat/mb_file_io.h"
#include "exchange/markup/markupio.h"
#include "tests/control/control_fixture.h"
#include "tests/support/file_bytes.h"
#include "tests/support/one_shot_server.h"
#include "tests/support/test_temp.h"

namespace control_test {
namespace {

namespace fs = std::filesystem;

class ViewFilesTest : public ToolTest {
 protected:
  void SetUp() override {
    ToolTest::SetUp();
    folder_ = qm_test_temp("view_files") + "/";
    fs::create_directories(folder_);
  }
  void TearDown() override {
    fs::remove_all(folder_);
    ToolTest::TearDown();
  }
  std::string at(const std::string& name) { return folder_ + name; }
  void open(const std::string& path) { hosted_->view()->OpenDrawingByExtension(path.c_str()); }
  // A native drawing of one line.
  std::string native_file(const std::string& name) {
    MB_Drawing d{MB_String(name.c_str())};
    d.add_object(new MB_Line(As_Pt(0, 0, 0), As_Pt(10, 5, 0)));
    MB_File_IO io;
    io.drawing(&d);
    EXPECT_TRUE(io.save_kzf(const_cast<char*>(at(name).c_str())));
    return at(name);
  }
  std::string image_file(const std::string& name, DWORD type) {
    CxImage raster;
    raster.Create(16, 8, 24);
    EXPECT_TRUE(raster.Save(at(name).c_str(), type));
    return at(name);
  }
  std::string last_message() { return qm_user_message_boxes().empty() ? "" : qm_user_message_boxes().back().text; }
  std::string folder_;
};

TEST_F(ViewFilesTest, EachKindOpensThroughItsReader) {
  write_all(at("plot.plt"), "IN;SP1;PU0,0;PD400,0,400,400;PU;");
  write_all(at("part.dxf"), "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n10\n0\n20\n0\n11\n5\n21\n5\n0\nENDSEC\n0\nEOF\n");
  struct Case {
    std::string path;
    MB_Object::MB_ID first;
  } cases[] = {
      {native_file("one.qlf"), MB_Object::ID_LINE},
      {native_file("two.kzf") + "  ", MB_Object::ID_LINE},  // trailing blanks are trimmed
      {at("plot.plt"), MB_Object::ID_LINES},
      {at("part.dxf"), MB_Object::ID_LINE},
      {image_file("picture.png", CXIMAGE_FORMAT_PNG), MB_Object::ID_IMAGE},
      {image_file("photo.jpg", CXIMAGE_FORMAT_JPG), MB_Object::ID_IMAGE},
  };
  for (const Case& c : cases) {
    open(c.path);
    ASSERT_GT(count(), 0) << c.path;
    EXPECT_EQ(entities().head()->object_id(), c.first) << c.path;
    EXPECT_EQ(std::string(hosted_->view()->opened_path()), c.path);
    EXPECT_TRUE(qm_user_message_boxes().empty()) << c.path << ": " << last_message();
  }
  // No dot: the last three letters choose the drawing loader, which reads
  // no DWG; the drawing shown before stays.
  write_all(at("drawingdwg"), "not a drawing");
  open(at("drawingdwg"));
  EXPECT_EQ(count(), 1);
  EXPECT_STREQ(op_->drawing()->name().ascii(), at("photo.jpg").c_str());
}

// A drawing that cannot be opened, whatever the reason, leaves the document
// as it was: its drawing, its name and the files the version box names.
TEST_F(ViewFilesTest, AFailedOpenLeavesTheDocumentAsItWas) {
  const std::string kept = native_file("kept.qlf");
  write_all(at("damaged.kzf"), "\x01\x02(KZF V01.00\x7f garbage");
  write_all(at("damaged.dxf"), "0\nSECTION\n2\nENTITIES\n0\nLI");
  write_all(at("empty.plt"), "IN;SP1;PU0,");
  write_all(at("damaged.rml"), "<?xml version=\"1.0\"?><redline:RedlineMarkup><redline:BaseDocu");
  write_all(at("damaged.png"), "\x89PNG not a picture");
  open(kept);
  const MB_Drawing* drawing = op_->drawing();
  for (const std::string& failing : {std::string("http://127.0.0.1:1/plan.dxf"), at("absent.qlf"), at("damaged.kzf"),
                                     at("damaged.dxf"), at("empty.plt"), at("damaged.rml"), at("damaged.png")}) {
    SCOPED_TRACE(failing);
    qm_user_clear_message_boxes();
    open(failing);
    EXPECT_FALSE(qm_user_message_boxes().empty()) << "the failure is told";
    EXPECT_EQ(op_->drawing(), drawing);
    EXPECT_EQ(count(), 1);
    EXPECT_STREQ(op_->drawing()->name().ascii(), kept.c_str());
    EXPECT_EQ(std::string(hosted_->view()->opened_path()), kept);
    EXPECT_EQ(std::string(hosted_->view()->base_document()), kept);
    EXPECT_EQ(g_current_drawing, drawing);
  }
}

// Only the extension is compared without regard to case: the file opened
// is the one named, even beside one whose name differs only in case.
TEST_F(ViewFilesTest, APathOpensAsGivenBesideANameDifferingInCase) {
  fs::create_directories(at("MyDir"));
  write_all(at("MyDir/Part.DXF"),
            "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n10\n0\n20\n0\n11\n5\n21\n5\n0\nENDSEC\n0\nEOF\n");
  write_all(at("MyDir/part.dxf"), "0\nSECTION\n2\nENTITIES\n0\nCIRCLE\n8\n0\n10\n0\n20\n0\n40\n5\n0\nENDSEC\n0\nEOF\n");
  const struct {
    const char* name;
    MB_Object::MB_ID first;
  } cases[] = {{"MyDir/Part.DXF", MB_Object::ID_LINE}, {"MyDir/part.dxf", MB_Object::ID_CIRCLE}};
  for (const auto& c : cases) {
    open(at(c.name));
    ASSERT_EQ(count(), 1) << c.name << ": " << last_message();
    EXPECT_EQ(entities().head()->object_id(), c.first) << c.name;
    EXPECT_STREQ(op_->drawing()->name().ascii(), at(c.name).c_str());
  }
}

TEST_F(ViewFilesTest, MarkupIsReadIntoTheDrawingThatIsOpen) {
  open(native_file("base.qlf"));
  ASSERT_EQ(count(), 1);
  // A markup document of one redline polyline.
  MB_Drawing marked{MB_String("marked")};
  As_Pt pts[2] = {As_Pt(0, 0, 0), As_Pt(3, 4, 0)};
  MB_Pline_Pos* v = new MB_Pline_Pos[2];
  for (int i = 0; i < 2; ++i) v[i].point = pts[i];
  MB_Polyline* redline = new MB_Polyline(false, 2, v);
  redline->set_string(MB_PROP_XDATA_TEXT, "@redline");
  marked.add_object(redline);
  ASSERT_TRUE(api_mb_save_xml(&marked, at("base.qlf").c_str(), at("notes.rml").c_str()));
  open(at("notes.rml"));
  EXPECT_EQ(count(), 2) << "the markup joins the drawing on screen";
  EXPECT_EQ(entities().tail()->object_id(), MB_Object::ID_POLYLINE);
}

TEST_F(ViewFilesTest, AMissingFileIsReportedAndTheDrawingStays) {
  open(native_file("kept.qlf"));
  ASSERT_EQ(count(), 1);
  for (const std::string& missing : {at("absent.qlf"), "  " + at("kept.qlf"), at("*.qlf"), folder_ + "x"}) {
    qm_user_clear_message_boxes();
    open(missing);
    EXPECT_EQ(last_message(), quill::kTextFileNotFound) << missing;
    EXPECT_EQ(count(), 1) << missing;
  }
  open("ab");  // shorter than an extension
  EXPECT_EQ(last_message(), quill::kTextFileNotFound);
}

TEST_F(ViewFilesTest, AnAddressIsDownloadedIntoAPrivateFolderUntilTheDrawingCloses) {
  const std::string dxf = "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n10\n0\n20\n0\n11\n5\n21\n5\n0\nENDSEC\n0\nEOF\n";
  OneShotServer server(dxf);
  ASSERT_GT(server.port(), 0);
  ::setenv("TMPDIR", folder_.c_str(), 1);
  write_all(at("1.dxf"), "someone else's");
  const std::string url = "HTTP://127.0.0.1:" + std::to_string(server.port()) + "/Plans/PART.DXF";
  open(url);
  ::unsetenv("TMPDIR");
  EXPECT_EQ(read_all(at("1.dxf")), "someone else's") << "a file already there is never replaced";
  std::vector<fs::path> made;
  for (const auto& e : fs::directory_iterator(folder_))
    if (e.is_directory()) made.push_back(e.path());
  ASSERT_EQ(made.size(), 1u) << "a folder of its own";
  EXPECT_EQ(fs::status(made[0]).permissions() & (fs::perms::group_all | fs::perms::others_all), fs::perms::none);
  EXPECT_EQ(read_all((made[0] / "1.dxf").string()), dxf) << "named 1 and the address's last four characters";
  ASSERT_EQ(count(), 1) << last_message();
  EXPECT_EQ(entities().head()->object_id(), MB_Object::ID_LINE);
  open(native_file("next.qlf"));
  EXPECT_FALSE(fs::exists(made[0])) << "the download goes with its drawing";
}

TEST_F(ViewFilesTest, AnAddressThatCannotBeFetchedIsReportedAndTheDrawingStays) {
  open(native_file("kept.qlf"));
  open("HTTP://127.0.0.1:1/PLAN.DWG");  // nothing listens on port 1
  EXPECT_EQ(last_message(), quill::kTextDownloadFailed);
  EXPECT_EQ(count(), 1);
  EXPECT_EQ(std::string(hosted_->view()->opened_path()), at("kept.qlf"));
}

TEST_F(ViewFilesTest, PipesAndDamagedFilesOfEveryKindOpenAsNothingWithoutHanging) {
  for (const char* ext : {"qlf", "dxf", "plt", "rml", "png"}) {
    const std::string pipe = at(std::string("pipe.") + ext), damaged = at(std::string("damaged.") + ext);
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    static const char kDamaged[] = "\x01\x02(KZF V01.00\x7f\x00garbage";
    write_all(damaged, std::string(kDamaged, sizeof kDamaged - 1));
    for (const std::string& path : {pipe, damaged}) {
      qm_user_clear_message_boxes();
      open(path);  // a hang fails through the test's time limit
      EXPECT_EQ(count(), 0) << path;
      // The reader says why it read nothing.
      EXPECT_NE(last_message().find(path), std::string::npos) << last_message();
    }
  }
}

// Every kind, unreadable in every way: the user is told the file and the
// reader's reason, and the drawing is empty.
TEST_F(ViewFilesTest, UnreadableFilesOfEveryKindAreToldWithTheReadersReason) {
  const std::string native = read_all(native_file("whole.kzf"));
  CxImage raster;
  raster.Create(16, 8, 24);
  ASSERT_TRUE(raster.Save(at("whole.png").c_str(), CXIMAGE_FORMAT_PNG));
  const std::string png = read_all(at("whole.png"));
  std::string noise(300, '\0');
  unsigned seed = 12345;
  for (char& b : noise) b = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 16);
  struct Kind {
    const char* extension;
    std::string truncated;
    // The reader's reason for a truncated file, random bytes and no bytes.
    const char* reasons[3];
  } kinds[] = {
      {"kzf", native.substr(0, native.size() / 2), {"truncated", "not a drawing", "not a drawing"}},
      {"dxf",
       "0\nSECTION\n2\nENTITIES\n0\nLI",
       {"holds nothing that could be drawn: the file ends without EOF", "holds no DXF data", "holds no DXF data"}},
      {"plt", "IN;SP1;PU0,", {"holds nothing a plotter would draw", "holds nothing", "holds nothing"}},
      {"png", png.substr(0, png.size() / 2), {"does not decode as an image", "does not decode", "does not decode"}},
      {"rml",
       "<?xml version=\"1.0\"?><redline:RedlineMarkup><redline:BaseDocu",
       {"is not a markup document", "is not a markup document", "is not a markup document"}},
  };
  for (const Kind& k : kinds) {
    const std::string bytes[3] = {k.truncated, noise, ""};
    const std::string names[3] = {"truncated", "noise", "empty"};
    std::vector<std::pair<std::string, std::string>> cases;  // path, reason
    for (int i = 0; i < 3; ++i) {
      cases.emplace_back(at(names[i] + "." + k.extension), k.reasons[i]);
      write_all(cases.back().first, bytes[i]);
    }
    cases.emplace_back(at(std::string("pipe.") + k.extension), "is a pipe");
    ASSERT_EQ(::mkfifo(cases.back().first.c_str(), 0600), 0);
    cases.emplace_back(at(std::string("folder.") + k.extension), "is a directory");
    fs::create_directories(cases.back().first);
    for (const auto& [path, reason] : cases) {
      qm_user_clear_message_boxes();
      open(path);
      const std::string said = last_message();
      EXPECT_EQ(said.rfind(quill::kTextOpenFailed, 0), 0u) << path << ": " << said;
      EXPECT_NE(said.find(path), std::string::npos) << said;
      EXPECT_NE(said.find(reason), std::string::npos) << path << ": " << said;
      EXPECT_EQ(count(), 0) << path;
    }
  }
  // A sound markup whose base drawing is not there: the base is named.
  write_all(at("lost_base.rml"),
            "<?xml version=\"1.0\"?><redline:RedlineMarkup xmlns:redline=\"urn:t\"><redline:BaseDocument>\"" +
                at("nothere.dxf") + "\"</redline:BaseDocument><redline:Objects/></redline:RedlineMarkup>");
  open(at("lost_base.rml"));
  EXPECT_NE(last_message().find("its base drawing cannot be read: " + at("nothere.dxf") + ": No such file"),
            std::string::npos)
      << last_message();
}

TEST_F(ViewFilesTest, SavingGoesToTheSaveFolderOrTheChosenFileByExtension) {
  open(native_file("plan.qlf"));
  // The save folder: the drawing's file name with .qlf, shown, then written.
  fs::create_directories(at("out"));
  hosted_->view()->save_directory() = (at("out") + "/").c_str();
  EXPECT_TRUE(hosted_->view()->SaveDrawingByExtension());
  EXPECT_EQ(last_message(), at("out/plan.qlf"));
  EXPECT_TRUE(fs::exists(at("out/plan.qlf")));
  hosted_->view()->save_directory().Empty();

  struct Case {
    const char* name;
    bool written;
  } cases[] = {{"x.PNG", true}, {"x.bmp", true},   {"x.qlf", true}, {"x.plt", true},
               {"x.rml", true}, {"x.jpeg", false}, {"x.doc", false}};
  for (const Case& c : cases) {
    qm_user_push_file_dialog_answer(at(c.name).c_str());
    EXPECT_EQ(hosted_->view()->SaveDrawingByExtension(), c.written) << c.name;
    EXPECT_EQ(fs::exists(at(c.name)), c.written) << c.name;
  }
  CxImage png;
  ASSERT_TRUE(png.Load(at("x.PNG").c_str(), CXIMAGE_FORMAT_PNG));
  EXPECT_EQ(png.GetWidth(), 500u);
  EXPECT_EQ(png.GetHeight(), 500u);
  const QmFileDialog& shown = qm_user_file_dialogs().back();
  EXPECT_TRUE(shown.save);
  EXPECT_EQ(shown.title, quill::kTextSaveTitle);
  // A cancelled dialog writes nothing.
  EXPECT_FALSE(hosted_->view()->SaveDrawingByExtension());
}

TEST_F(ViewFilesTest, AnImageOfAnEmptyDrawingIsNotWritten) {
  qm_user_push_file_dialog_answer(at("empty.png").c_str());
  EXPECT_FALSE(hosted_->view()->SaveDrawingByExtension());
  EXPECT_FALSE(fs::exists(at("empty.png")));
}

TEST_F(ViewFilesTest, ASaveFolderPastTheOldLimitGivesTheWholeTarget) {
  open(native_file("plan.qlf"));
  std::string deep = folder_;
  while (deep.size() < 300) deep += "long_folder_name/";
  fs::create_directories(deep);
  hosted_->view()->save_directory() = deep.c_str();
  EXPECT_TRUE(hosted_->view()->SaveDrawingByExtension());
  EXPECT_EQ(last_message(), deep + "plan.qlf");
  EXPECT_TRUE(fs::exists(deep + "plan.qlf"));
}

TEST_F(ViewFilesTest, ASaveFolderWithoutASeparatorGetsOne) {
  open(native_file("plan.qlf"));
  fs::create_directories(at("out"));
  hosted_->view()->save_directory() = at("out").c_str();
  EXPECT_TRUE(hosted_->view()->SaveDrawingByExtension());
  EXPECT_TRUE(fs::exists(at("out/plan.qlf")));
  EXPECT_FALSE(fs::exists(at("outplan.qlf")));
}

// A save that writes nothing tells the user which file and why, and
// leaves every file as it was.
TEST_F(ViewFilesTest, AFailedSaveNamesTheFileAndTheReason) {
  const std::string drawing = native_file("plan.kzf");
  open(drawing);
  fs::create_directories(at("folder.qlf"));
  ASSERT_EQ(mkfifo(at("pipe.qlf").c_str(), 0644), 0);
  fs::create_symlink(drawing, at("link.png"));
  fs::create_hard_link(drawing, at("hard.qlf"));
  const std::string before = read_all(drawing);
  struct Case {
    std::string target;
    const char* reason;
  } cases[] = {
      {at("link.png"), "would replace the open drawing"},
      {at("hard.qlf"), "would replace the open drawing"},
      {at("folder.qlf"), "is a directory"},
      {at("pipe.qlf"), "is a pipe"},
      {at("notes.txt"), "no writer takes this extension"},
      {at("plan.dxf"), "no writer takes this extension"},
  };
  for (const Case& c : cases) {
    qm_user_clear_message_boxes();
    qm_user_push_file_dialog_answer(c.target.c_str());
    EXPECT_FALSE(hosted_->view()->SaveDrawingByExtension()) << c.target;
    const std::string said = last_message();
    EXPECT_EQ(said.rfind(quill::kTextWriteFailed, 0), 0u) << said;
    EXPECT_NE(said.find(c.target), std::string::npos) << said;
    EXPECT_NE(said.find(c.reason), std::string::npos) << said;
  }
  EXPECT_EQ(read_all(drawing), before);
  EXPECT_TRUE(fs::is_directory(at("folder.qlf")));
  EXPECT_FALSE(fs::exists(at("notes.txt")));
  EXPECT_FALSE(fs::exists(at("plan.dxf")));
}

// The open native drawing saved with the save button over its own file,
// however its name is spelled, is saved in place: a new file renamed over
// it, its link left a link; opened again it holds the edit.
TEST_F(ViewFilesTest, TheOpenNativeDrawingSavesInPlace) {
  struct Case {
    const char* opened;
    std::string target;
  } cases[] = {
      {"plan.kzf", at("plan.kzf")},
      {"plan.qlf", at("plan.qlf")},
      {"plan.kzf", folder_ + "./plan.kzf"},
      {"plan.kzf", at("link.kzf")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.target);
    const std::string drawing = native_file(c.opened);
    std::error_code ignored;
    fs::remove(at("link.kzf"), ignored);
    fs::create_symlink(drawing, at("link.kzf"));
    open(drawing);
    ASSERT_EQ(count(), 1);
    op_->drawing()->add_object(new MB_Line(As_Pt(0, 0, 0), As_Pt(-4, 9, 0)));
    qm_user_clear_message_boxes();
    qm_user_push_file_dialog_answer(c.target.c_str());
    EXPECT_TRUE(hosted_->view()->SaveDrawingByExtension()) << last_message();
    EXPECT_TRUE(qm_user_message_boxes().empty()) << last_message();
    EXPECT_TRUE(fs::is_symlink(at("link.kzf")));
    open(native_file("other.qlf"));
    open(drawing);
    EXPECT_EQ(count(), 2);
  }
}

TEST(FileDialogHelper, ShowsTheDialogAsAskedAndAnswersTheChoice) {
  EXPECT_EQ(FileDialogHelper(nullptr, 1, nullptr, nullptr, nullptr, nullptr), 0);
  char out[260] = "stale";
  EXPECT_EQ(FileDialogHelper(nullptr, 1, out, nullptr, nullptr, nullptr), 0);  // cancelled
  EXPECT_EQ(out[0], 0);
  qm_user_push_file_dialog_answer("/tmp/a.qlf");
  const std::string filter = file_filter(quill::kTextOpenFilter);
  EXPECT_EQ(FileDialogHelper(nullptr, 1, out, "", quill::kTextOpenTitle, filter.c_str()), 1);
  EXPECT_STREQ(out, "/tmp/a.qlf");
  const QmFileDialog& d = qm_user_file_dialogs().back();
  EXPECT_FALSE(d.save);
  EXPECT_EQ(d.flags, static_cast<DWORD>(OFN_ENABLESIZING));
  EXPECT_EQ(d.default_ext, "*");
  EXPECT_EQ(d.title, quill::kTextOpenTitle);
  FileDialogHelper(nullptr, 0, out, nullptr, nullptr, nullptr);
  EXPECT_EQ(qm_user_file_dialogs().back().flags, static_cast<DWORD>(OFN_ENABLESIZING | OFN_OVERWRITEPROMPT));
  EXPECT_EQ(qm_user_file_dialogs().back().title, "Save File");
  qm_user_clear_file_dialogs();
}

// The open dialog's first choice shows every file the open command reads,
// so that a person finds a saved picture or plot without changing the type.
TEST(OpenFilter, TheFirstChoiceListsEveryKindTheOpenCommandReads) {
  const std::string all = std::string(quill::kTextOpenFilter[0][1]) + ";";
  for (const char* ext : {"kzf", "qlf", "dxf", "plt", "hgl", "rml", "bmp", "jpg", "gif", "png", "tif", "ico", "wmf"})
    EXPECT_NE(all.find(std::string("*.") + ext + ";"), std::string::npos) << ext;
}

// Files other programs made, where the machine has them.
TEST_F(ViewFilesTest, RealPlotsAndDrawingsOfOtherProgramsOpen) {
  const fs::path plot = "/usr/share/doc/hp2xx/hp-tests/arcs.hp";
  const fs::path dxf = "/usr/share/librecad/library/elektro/relay-iso/Relay.dxf";
  if (!fs::exists(plot) || !fs::exists(dxf)) GTEST_SKIP() << "install hp2xx and librecad-data (bash tools/setup.sh)";
  fs::copy_file(plot, at("arcs.plt"));  // the dispatcher knows plots by .plt and .hgl
  open(at("arcs.plt"));
  EXPECT_GT(count(), 0);
  open(dxf.string());
  EXPECT_GT(count(), 5);
}

}  // namespace
}  // namespace control_test
