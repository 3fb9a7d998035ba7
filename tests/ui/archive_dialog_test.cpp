// The archive browser, one user path per test: open and list, click and slide, arrow keys, export, the
// background builder, and the frame's command that opens it. Everything it says goes through the scripted
// Interaction; the archives come from the fixture builders.

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLineEdit>
#include <QSlider>
#include <QTimer>
#include <QtTest>

#include "core/text/gbk.h"
#include "tests/support/archive_fixtures.h"
#include "tests/support/scripted_interaction.h"
#include "tests/ui/ui_test_support.h"
#include "ui/app/commands.h"
#include "ui/app/main_frame.h"
#include "ui/archive/image_archive_dlg.h"

using vx::Bytes;
using vx::fixtures::ArchiveSpec;
using vx::fixtures::EntrySpec;
using vx::fixtures::FrameSpec;
using vx::fixtures::ScriptedInteraction;
using namespace vx::ui;
using namespace vx::ui::testing;

namespace {

// A frame of its own size and pixels, so what the preview shows tells which frame it is.
FrameSpec Frame(std::uint16_t width, std::uint16_t height, unsigned seed) {
  return {width, height, vx::fixtures::PatternPixels(width, height, seed), {}, {}};
}

// What the frame should look like, built row by row from its X1R5G5B5 bytes (top row first) into an
// image of Qt's own layout, with the unused top bit cleared.
QImage Expected(const FrameSpec& frame) {
  QImage image(frame.width, frame.height, QImage::Format_RGB555);
  for (int y = 0; y < frame.height; ++y) {
    const std::uint8_t* row = frame.pixels.data() + 2 * static_cast<std::size_t>(frame.width) * y;
    auto* out = reinterpret_cast<std::uint16_t*>(image.scanLine(y));
    for (int x = 0; x < frame.width; ++x)
      out[x] = static_cast<std::uint16_t>((row[2 * x] | row[2 * x + 1] << 8) & 0x7FFF);
  }
  return image.convertToFormat(QImage::Format_RGB32);
}

// Entries in file order; the list shows them in this order with directory indexes 6 down to 0.
struct Browsed {
  StartFolder folder;
  ScriptedInteraction ui;
  std::vector<FrameSpec> fiveFrames{Frame(6, 4, 1), Frame(5, 3, 2), Frame(7, 2, 3), Frame(2, 9, 4),
                                    Frame(3, 3, 5)};
  ArchiveSpec recipe{{
      {.name = "Playing_BG1.vxs", .frames = {Frame(596, 558, 7)}},
      {.name = "Playing_Combo.vxt", .frames = fiveFrames},
      {.name = "Playing_BG13.vxs", .frames = {Frame(100, 50, 8)}},
      {.name = "Playing_BGX1.vxs", .frames = {Frame(4, 4, 9)}},
      {.name = "Playing1_bg.vxs", .frames = {Frame(4, 4, 10), Frame(4, 4, 11), Frame(4, 4, 12)}},
      {.name = "Playing.ini", .raw = Bytes{'[', ']'}},
      {.name = "Playing_Damaged.vxs", .frames = {Frame(4, 4, 13)}, .entryOffsetField = 0x7FFFFFF0},
  }};
  CImageArchiveDlg dialog{folder.Settings(), ui};

  Browsed() {
    QDir().mkpath(QString::fromStdString(folder.Path() + "/images"));
    vx::fixtures::WriteFile(Archive(), vx::fixtures::BuildArchive(recipe));
    dialog.show();
    (void)QTest::qWaitForWindowExposed(&dialog);
    ui.openFileAnswers.push_back(Archive());
    dialog.OnOpenArchive();
  }
  std::string Archive() const { return folder.Path() + "/Playing.vpi"; }
  QString Cell(int row, int column) const { return dialog.EntryList()->topLevelItem(row)->text(column); }
  QStringList Column(int column) const {
    QStringList cells;
    for (int r = 0; r < dialog.EntryList()->topLevelItemCount(); ++r) cells << Cell(r, column);
    return cells;
  }
  QString Edit(const char* name) const {
    return dialog.findChild<QLineEdit*>(QString::fromLatin1(name))->text();
  }
  QImage Shown() const { return dialog.Preview()->Picture().convertToFormat(QImage::Format_RGB32); }
  void Click(int row, Qt::KeyboardModifiers modifiers = {}) {
    QTreeWidget* list = dialog.EntryList();
    const QRect rect = list->visualItemRect(list->topLevelItem(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, rect.center());
  }
  void Key(Qt::Key key) { QTest::keyClick(dialog.EntryList(), key); }
  QStringList Exported() const {
    QStringList names = QDir(QString::fromStdString(folder.Path() + "/images")).entryList(QDir::Files);
    std::sort(names.begin(), names.end());
    return names;
  }
};

}  // namespace

class ArchiveDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void openListsEveryRecordWithItsTypeAndIndex() {
    Browsed b;
    const ScriptedInteraction::Event& chooser = b.ui.events.front();
    QCOMPARE(chooser.kind, ScriptedInteraction::Event::kOpenFile);
    QCOMPARE(QString::fromStdString(vx::Utf8FromGbk(chooser.request.filters.at(0).description)),
             QStringLiteral("VEXUM游戏文件(*.vp?)"));
    QCOMPARE(QString::fromStdString(chooser.request.filters.at(0).pattern), QStringLiteral("*.vp?"));

    QCOMPARE(b.dialog.windowTitle(), QStringLiteral("VPI(游戏图片) - Playing.vpi"));
    QCOMPARE(b.Column(0),
             (QStringList{"Playing_BG1.vxs", "Playing_Combo.vxt", "Playing_BG13.vxs", "Playing_BGX1.vxs",
                          "Playing1_bg.vxs", "Playing.ini", "Playing_Damaged.vxs"}));
    QCOMPARE(b.Column(1), (QStringList{"背景:地下室", "", "背景:温馨圣诞", "背景:", "", "", ""}));
    QCOMPARE(b.Column(2), (QStringList{"6", "5", "4", "3", "2", "1", "0"}));
    QCOMPARE(b.dialog.EntryList()->header()->sectionSize(2), 1);
    QCOMPARE(b.Edit("currentFrame"), QStringLiteral("0"));
    QCOMPARE(b.Edit("frameCount"), QStringLiteral("0"));

    // Cancel keeps everything.
    b.dialog.OnOpenArchive();
    QCOMPARE(b.Column(0).size(), 7);

    // A name whose bytes GBK cannot decode is still reached by its own bytes: it is an image entry.
    const std::string odd = b.folder.Path() + "/odd.vpi";
    vx::fixtures::WriteFile(
        odd, vx::fixtures::BuildArchive({{{.name = "\x81\x20.vxs", .frames = {Frame(4, 2, 1)}}}}));
    b.ui.openFileAnswers.push_back(odd);
    b.dialog.OnOpenArchive();
    QCOMPARE(b.Column(2), QStringList{"0"});
    b.Click(0);
    QCOMPARE(b.dialog.Preview()->Picture().size(), QSize(4, 2));

    // An empty directory empties the list, and the frame of the archive before goes with it.
    const std::string empty = b.folder.Path() + "/empty.vpi";
    vx::fixtures::WriteFile(empty, vx::fixtures::BuildArchive({}));
    b.ui.openFileAnswers.push_back(empty);
    b.dialog.OnOpenArchive();
    QCOMPARE(b.dialog.windowTitle(), QStringLiteral("VPI(游戏图片) - empty.vpi"));
    QCOMPARE(b.dialog.EntryList()->topLevelItemCount(), 0);
    QCOMPARE(b.Edit("currentFrame"), QStringLiteral("0"));
    QVERIFY(b.dialog.Preview()->Picture().isNull());
    QVERIFY(b.ui.Messages().empty());
  }

  void growingTheBrowserGivesTheListTheRoom() {
    Browsed b;
    const auto geometry = [&b](const char* name) {
      return b.dialog.findChild<QWidget*>(QString::fromLatin1(name))->geometry();
    };
    const QRect list = geometry("entryList"), preview = geometry("preview"),
                exportButton = geometry("exportImages");
    b.dialog.resize(b.dialog.size() + QSize(200, 100));
    QCOMPARE(geometry("entryList"), list.adjusted(0, 0, 200, 100));
    // The preview and the buttons keep their size beside the list.
    QCOMPARE(geometry("preview"), preview.translated(200, 0));
    QCOMPARE(geometry("exportImages"), exportButton.translated(200, 0));
    b.dialog.resize(b.dialog.size() - QSize(400, 300));
    QCOMPARE(geometry("entryList"), list);
  }

  void aDamagedArchiveSaysWhyAndKeepsNothingOfThePreviousOne() {
    Browsed b;
    b.Click(1);
    QCOMPARE(b.Shown(), Expected(b.fiveFrames[0]));
    const std::string broken = b.folder.Path() + "/broken.vpi";
    vx::fixtures::WriteFile(broken, Bytes{1, 2, 3});
    b.ui.openFileAnswers.push_back(broken);
    b.dialog.OnOpenArchive();
    QCOMPARE(b.dialog.ArchivePath(), broken);
    QCOMPARE(b.ui.Messages(), std::vector<std::string>{"无法读取这个图片文件:" + broken +
                                                       "\n文件太短,连文件头都不完整(第3字节)"});
    QCOMPARE(b.dialog.EntryList()->topLevelItemCount(), 0);
    QVERIFY(b.dialog.Preview()->Picture().isNull());
    QCOMPARE(b.Edit("currentFrame"), QStringLiteral("0"));
    QCOMPARE(b.Edit("frameCount"), QStringLiteral("0"));
    b.dialog.FrameSlider()->setValue(3);  // nothing selected since: the slider shows nothing
    QVERIFY(b.dialog.Preview()->Picture().isNull());
  }

  void clickShowsTheFirstFrameAndTheSliderStepsThroughTheRest() {
    Browsed b;
    b.Click(1);
    QCOMPARE(b.dialog.FrameSlider()->minimum(), 1);
    QCOMPARE(b.dialog.FrameSlider()->maximum(), 5);
    QCOMPARE(b.dialog.FrameSlider()->value(), 1);
    QCOMPARE(b.Edit("currentFrame"), QStringLiteral("1"));
    QCOMPARE(b.Edit("frameCount"), QStringLiteral("5"));
    QCOMPARE(b.Shown(), Expected(b.fiveFrames[0]));

    b.dialog.FrameSlider()->setValue(3);
    QCOMPARE(b.Edit("currentFrame"), QStringLiteral("3"));
    QCOMPARE(b.Shown(), Expected(b.fiveFrames[2]));
    b.dialog.FrameSlider()->setValue(2);  // an odd width: rows padded in the BMP must not slip
    QCOMPARE(b.Shown(), Expected(b.fiveFrames[1]));

    // Two rows highlighted: nothing changes.
    b.Click(0, Qt::ControlModifier);
    QCOMPARE(b.dialog.EntryList()->selectedItems().size(), 2);
    QCOMPARE(b.Shown(), Expected(b.fiveFrames[1]));
    QCOMPARE(b.Edit("frameCount"), QStringLiteral("5"));

    // Not an image: the preview and its numbers empty, and the slider shows nothing until an image
    // entry is chosen. A damaged directory entry shows nothing the same way.
    for (const int row : {5, 6}) {
      b.Click(1);
      b.dialog.FrameSlider()->setValue(5);
      b.Click(row);
      QCOMPARE(b.dialog.CurrentRow(), row);
      QVERIFY(b.dialog.Preview()->Picture().isNull());
      QCOMPARE(b.Edit("currentFrame") + u'\\' + b.Edit("frameCount"), QStringLiteral("0\\0"));
      b.dialog.FrameSlider()->setValue(4);
      QVERIFY(b.dialog.Preview()->Picture().isNull());
    }

    // A large frame is squeezed into the frame's client area; a small one keeps its size in the corner.
    b.Click(0);
    const QRect client = b.dialog.Preview()->contentsRect();
    QCOMPARE(b.dialog.Preview()->DrawRect(), client);
    QCOMPARE(b.dialog.FrameSlider()->maximum(), 1);
    b.Click(2);
    QCOMPARE(b.dialog.Preview()->DrawRect(), QRect(client.topLeft(), QSize(100, 50)));
  }

  void arrowKeysPreviewTheNeighbourOfTheOneHighlightedRow() {
    Browsed b;
    b.Click(0);
    b.Key(Qt::Key_Up);
    QCOMPARE(b.dialog.CurrentRow(), 0);
    b.Key(Qt::Key_Down);
    QCOMPARE(b.dialog.CurrentRow(), 1);
    QCOMPARE(b.Edit("frameCount"), QStringLiteral("5"));
    QCOMPARE(b.Shown(), Expected(b.fiveFrames[0]));
    QCOMPARE(b.dialog.EntryList()->currentItem(), b.dialog.EntryList()->topLevelItem(1));

    b.Click(6);
    b.Key(Qt::Key_Down);
    QCOMPARE(b.dialog.CurrentRow(), 6);

    // Several rows highlighted: Down starts from the top.
    b.Click(3);
    b.Click(4, Qt::ControlModifier);
    b.Key(Qt::Key_Down);
    QCOMPARE(b.dialog.CurrentRow(), 0);
    QCOMPARE(b.Shown().size(), QSize(596, 558));
  }

  void exportWritesEveryFrameOfTheSelectedRowsAndSumsUpOnce() {
    Browsed b;
    // Rows: a three-frame entry, not an image, a one-frame background, a damaged entry.
    const std::array<int, 4> rows = {4, 5, 2, 6};
    b.dialog.SelectRows(rows);
    b.dialog.OnExportImages();
    QCOMPARE(b.Exported(), (QStringList{"Playing1_bg.vxs0.bmp", "Playing1_bg.vxs1.bmp",
                                        "Playing1_bg.vxs2.bmp", "Playing_BG13.vxs0.bmp"}));
    // One box: the frames of the entries, those that gave nothing, and why the damaged one failed.
    const std::vector<std::string> said = b.ui.Messages();
    QCOMPARE(said.size(), std::size_t{1});
    QVERIFY(
        said[0].starts_with("已导出4帧(共4个条目),请到图片目录下查看\n以下条目没有导出任何帧:\n"
                            "Playing.ini\nPlaying_Damaged.vxs\n"
                            "Playing_Damaged.vxs没有全部导出:\n目录项指向文件末尾之后(第"));
    QCOMPARE(b.ui.Captions(), std::vector<std::string>{"WX歌曲整理器"});
    QCOMPARE(b.dialog.Preview()->Picture().isNull(), true);  // export leaves the preview alone

    // Again: the next free numbers, nothing replaced; one entry alone keeps its own word.
    const std::array<int, 1> one = {2};
    b.dialog.SelectRows(one);
    b.ui.events.clear();
    b.dialog.OnExportImages();
    QVERIFY(b.Exported().contains(QStringLiteral("Playing_BG13.vxs1.bmp")));
    QCOMPARE(b.ui.Messages(), std::vector<std::string>{"完成^_^,请到图片目录下查看"});

    // Without an image-export folder nothing is written, whatever is selected.
    vx::fixtures::WriteFile(b.folder.Settings(), vx::fixtures::BuildSettingsFile(b.folder.Music()));
    CImageArchiveDlg unset(b.folder.Settings(), b.ui);
    b.ui.events.clear();
    unset.OnExportImages();
    QCOMPARE(b.ui.Messages(), std::vector<std::string>{"请检查图片目录设置"});
    QCOMPARE(b.ui.Captions(), std::vector<std::string>{"WX歌曲整理器"});
  }

  void builderTurnsAPictureIntoTheChosenSceneAndSaysSo() {
    Browsed b;
    QStringList items;
    for (int i = 0; i < b.dialog.BackgroundCombo()->count(); ++i)
      items << b.dialog.BackgroundCombo()->itemText(i);
    QCOMPARE(items,
             (QStringList{"1 地下室", "10 比基尼沙滩", "11 除夕之夜", "12 瑞雪兆丰年", "2 快乐街", "3 路影棚",
                          "4 直播现场", "5 喇叭屋", "6 海底宫殿", "7 水母之家", "8 深蓝谷", "9 古来城"}));
    QCOMPARE(b.dialog.BackgroundCombo()->currentIndex(), 0);

    const std::string picture = b.folder.Path() + "/mine.bmp";
    vx::fixtures::WriteFile(picture, vx::fixtures::BuildBmp({}));
    b.dialog.BackgroundCombo()->setCurrentIndex(3);
    b.ui.openFileAnswers.push_back(picture);
    b.dialog.OnMakeBackground();
    const std::string written = b.folder.Path() + "/Playing1_300.vpi";
    QCOMPARE(b.ui.Messages().back(), "生成文件" + written + "成功~!");
    QCOMPARE(b.ui.Captions().back(), std::string("VX歌曲整理器"));
    QCOMPARE(QString::fromStdString(
                 vx::Utf8FromGbk(b.ui.events[b.ui.events.size() - 2].request.filters.at(0).description)),
             QStringLiteral("(596*558)位图文件"));

    b.ui.openFileAnswers.push_back(written);
    b.dialog.OnOpenArchive();
    QCOMPARE(b.Column(0), QStringList{"Playing_BG12.vxs"});
    QCOMPARE(b.Column(1), QStringList{"背景:瑞雪兆丰年"});
    QCOMPARE(b.Column(2), QStringList{"0"});

    // A picture the builder refuses, and a cancelled chooser.
    const std::string upright = b.folder.Path() + "/upright.bmp";
    vx::fixtures::WriteFile(upright, vx::fixtures::BuildBmp({.height = 558}));
    b.ui.openFileAnswers.push_back(upright);
    b.dialog.OnMakeBackground();
    QCOMPARE(b.ui.Messages().back(), std::string("图片格式出错或文件正在被使用"));
    const std::size_t said = b.ui.Messages().size();
    b.dialog.OnMakeBackground();
    QCOMPARE(b.ui.Messages().size(), said);
    QVERIFY(!QFile::exists(QString::fromStdString(b.folder.Path() + "/Playing1_301.vpi")));
  }

  void theFrameCommandOpensTheBrowserModally() {
    StartFolder folder;
    ScriptedInteraction ui;
    CMainFrame frame(folder.Path(), ui);
    QVERIFY(frame.Action(kCmdGameImages)->isEnabled());
    QString title;
    QSize size;
    QTimer::singleShot(0, [&] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal) return;
      title = modal->windowTitle();
      size = modal->size();
      modal->close();
    });
    frame.Action(kCmdGameImages)->trigger();
    QCOMPARE(title, QStringLiteral("VPI(游戏图片)"));
    QCOMPARE(size, QSize(642, 510));
  }
};

QTEST_MAIN(ArchiveDialogTest)
#include "archive_dialog_test.moc"
