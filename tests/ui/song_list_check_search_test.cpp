// Reopening a song list, the library check dialog and the search field, driven through the frame as a
// person would: the menu command, the dialog's button, typing and the two Enter keys.

#include <QAction>
#include <QApplication>
#include <QItemSelectionModel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QToolBar>
#include <QtTest>
#include <chrono>
#include <filesystem>

#include "core/text/gbk.h"
#include "tests/support/scripted_interaction.h"
#include "tests/support/song_list_builder.h"
#include "tests/ui/ui_test_support.h"
#include "ui/app/commands.h"
#include "ui/app/main_frame.h"
#include "ui/library/library_check_dlg.h"
#include "ui/library/search_field.h"
#include "ui/library/song_table_model.h"
#include "ui/library/trakly_view.h"

using vx::fixtures::ChartSpec;
using vx::fixtures::ScriptedInteraction;
using namespace vx::ui;
using namespace vx::ui::testing;

namespace {

ChartSpec Song(const char* utf8Title, std::uint16_t hard) {
  return SongWithHard(utf8Title, hard);
}

struct Scanned : ScannedFrame {
  QString Status(int id) const { return View()->Model()->index(RowOf(id), vx::kColStatus).data().toString(); }
  std::string WriteList(const vx::fixtures::SongListSpec& recipe) const {
    const std::string path = folder.Path() + "/list.dat";
    vx::fixtures::WriteFile(path, vx::fixtures::BuildSongList(recipe));
    return path;
  }
};

}  // namespace

class SongListCheckSearchTest : public QObject {
  Q_OBJECT

 private slots:
  void openingASongListBringsBackTicksAndMarksAndKeepsTheHighlight() {
    Scanned s;
    s.Tick(30);
    const std::array<std::size_t, 1> highlight = {static_cast<std::size_t>(s.RowOf(12))};
    s.View()->SelectRows(highlight);
    s.ui.openFileAnswers.push_back(
        s.WriteList({.charts = {s.folder.ChartBytes(12), s.folder.ChartBytes(7)},
                     .statuses = {{.id = 12, .kind = 2}, {.id = 7, .kind = 0, .oneWeek = 1}}}));

    s.frame->Action(kCmdFileOpen)->trigger();

    QVERIFY(s.Ticked(7));
    QVERIFY(s.Ticked(12));
    QVERIFY(!s.Ticked(30));  // the list decides, not what was ticked before
    QCOMPARE(s.Status(12), QStringLiteral("最受欢迎"));
    QCOMPARE(s.Status(7), QStringLiteral("一周更新"));
    QCOMPARE(s.Status(30), QString());
    QCOMPARE(s.ui.Messages().back(), std::string("已勾选2首歌曲,设置了2个状态。"));
    QCOMPARE(s.HighlightedIds(), QList<int>{12});

    // A file that does not add up is refused and leaves every tick and mark as it was.
    vx::Bytes truncated = vx::fixtures::BuildSongList({.charts = {s.folder.ChartBytes(30)}});
    truncated.resize(truncated.size() - 5);
    const std::string bad = s.folder.Path() + "/bad.SML";
    vx::fixtures::WriteFile(bad, truncated);
    s.ui.openFileAnswers.push_back(bad);
    s.frame->Action(kCmdFileOpen)->trigger();
    QVERIFY(s.ui.Messages().back().find(vx::Utf8FromGbk(bad)) != std::string::npos);
    QVERIFY(s.Ticked(7) && s.Ticked(12) && !s.Ticked(30));
    QCOMPARE(s.Status(12), QStringLiteral("最受欢迎"));
  }

  void openingBeforeAScanAsksForTheScanAndChoosesNoFile() {
    StartFolder folder;  // its MUSIC folder is not there yet, so the start scans nothing
    ScriptedInteraction ui;
    CMainFrame frame(folder.Path(), ui);
    frame.Action(kCmdFileOpen)->trigger();
    QCOMPARE(ui.Messages(), std::vector<std::string>{"列表为空,请先扫描"});
    QCOMPARE(ui.Count(ScriptedInteraction::Event::kOpenFile), std::size_t{0});
  }

  void checkDialogShowsTheReportAndTicksTheSongsItNames() {
    Scanned s;
    QString report;
    bool tickEnabled = false;
    WhenModalOpens([&](QWidget* modal) {
      auto* dialog = qobject_cast<CLibraryCheckDlg*>(modal);
      QVERIFY(dialog);
      report = dialog->ReportView()->toPlainText();
      QVERIFY(dialog->ReportView()->isReadOnly());
      tickEnabled = dialog->TickButton()->isEnabled();
      dialog->TickButton()->click();
    });
    s.Tick(30);  // ticked before: the report adds to it
    s.frame->Action(kCmdCheckLibrary)->trigger();

    QVERIFY2(report.contains(QStringLiteral("缺少音乐文件")), qPrintable(report));
    QVERIFY(tickEnabled);
    QVERIFY(s.Ticked(7));
    QVERIFY(!s.Ticked(12) && s.Ticked(30));
    QCOMPARE(s.StatusBar(), QStringLiteral("已勾选报告中的歌曲:1首,原来勾选的歌曲仍然勾选着"));
  }

  void checkDialogRemovesTheLeftoverTemporaryFilesItNames() {
    Scanned s;
    const std::string leftover = s.folder.Music() + "/vxma12.vxn.vxtmp-x1y2z3";
    vx::fixtures::WriteFile(leftover, vx::Bytes{1});
    std::filesystem::last_write_time(leftover,
                                     std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    bool removeEnabled = false;
    WhenModalOpens([&](QWidget* modal) {
      auto* dialog = qobject_cast<CLibraryCheckDlg*>(modal);
      QVERIFY(dialog);
      QVERIFY(dialog->ReportView()->toPlainText().contains(QStringLiteral("vxma12.vxn.vxtmp-x1y2z3")));
      removeEnabled = dialog->RemoveLeftoversButton()->isEnabled();
      dialog->RemoveLeftoversButton()->click();
    });
    s.frame->Action(kCmdCheckLibrary)->trigger();
    QVERIFY(removeEnabled);
    QVERIFY(!std::filesystem::exists(leftover));
    QCOMPARE(s.ui.Messages(), std::vector<std::string>{"已删除1个临时文件。"});
  }

  void theTickButtonIsGreyedWhenTheReportNamesNoSongOfTheTable() {
    StartFolder folder;
    folder.AddSong(12, Song("Alpha", 12));
    ScriptedInteraction ui;
    CMainFrame frame(folder.Path(), ui);
    frame.View()->OnScan();
    frame.View()->WaitForScan();
    QString report;
    bool tickEnabled = true;
    const auto look = [&](QWidget* modal) {
      auto* dialog = qobject_cast<CLibraryCheckDlg*>(modal);
      QVERIFY(dialog);
      report = dialog->ReportView()->toPlainText();
      tickEnabled = dialog->TickButton()->isEnabled();
    };
    WhenModalOpens(look);
    frame.Action(kCmdCheckLibrary)->trigger();
    QCOMPARE(report.trimmed(), QStringLiteral("没有发现问题"));
    QVERIFY(!tickEnabled);

    // A song that came in after the scan is in the report but not in the table.
    folder.AddSong(7, Song("七", 5), /*withMusic=*/false);
    WhenModalOpens(look);
    frame.Action(kCmdCheckLibrary)->trigger();
    QVERIFY2(report.contains(QStringLiteral("编号7")), qPrintable(report));
    QVERIFY(!tickEnabled);
    QCOMPARE(frame.View()->Model()->index(0, 0).data(Qt::CheckStateRole).toInt(), int{Qt::Unchecked});
  }

  void searchFieldSitsAtTheRightEndOfTheToolbar() {
    Scanned s;
    SearchField* search = s.frame->Search();
    QVERIFY(search->isVisible());
    const QRect field = search->geometry();
    QVERIFY2(s.frame->ToolBar()->width() - field.right() < 16, qPrintable(QString::number(field.right())));
    // Every command button still fits before it.
    const QWidget* last = s.frame->ToolBar()->widgetForAction(s.frame->Action(kCmdGameImages));
    QVERIFY(last->geometry().right() < field.left());
  }

  void typingHighlightsWithoutTickingAndEnterTicksShiftEnterUnticks() {
    Scanned s;
    s.Tick(7);
    SearchField* search = s.frame->Search();
    search->setFocus();
    QTest::keyClicks(search, QStringLiteral("hard:10-20"));
    QCOMPARE(s.HighlightedIds(), (QList<int>{12, 30}));
    QCOMPARE(s.StatusBar(), QStringLiteral("符合条件的歌曲:2首"));
    QCOMPARE(s.View()->Model()->rowCount(), 3);  // nothing is filtered out
    QVERIFY(s.Ticked(7) && !s.Ticked(12) && !s.Ticked(30));

    QTest::keyClick(search, Qt::Key_Return);
    QVERIFY(s.Ticked(7) && s.Ticked(12) && s.Ticked(30));
    QCOMPARE(s.StatusBar(), QStringLiteral("已勾选符合条件的歌曲:2首"));

    search->setText(QStringLiteral("星之海"));
    QCOMPARE(s.HighlightedIds(), QList<int>{7});
    QTest::keyClick(search, Qt::Key_Enter, Qt::ShiftModifier | Qt::KeypadModifier);
    QVERIFY(!s.Ticked(7) && s.Ticked(12) && s.Ticked(30));
    QCOMPARE(s.StatusBar(), QStringLiteral("已取消勾选符合条件的歌曲:1首"));
  }

  void aQueryThatCannotBeReadSaysWhyAndChangesNothing() {
    Scanned s;
    SearchField* search = s.frame->Search();
    search->setText(QStringLiteral("alpha"));
    QCOMPARE(s.HighlightedIds(), QList<int>{12});

    search->setText(QStringLiteral("hard:20-10"));
    QVERIFY2(s.StatusBar().startsWith(QStringLiteral("范围的下限大于上限")), qPrintable(s.StatusBar()));
    QCOMPARE(s.HighlightedIds(), QList<int>{12});
    QTest::keyClick(search, Qt::Key_Return);
    QVERIFY(!s.Ticked(7) && !s.Ticked(12) && !s.Ticked(30));

    // No match highlights nothing; it does not leave the last match highlighted.
    search->setText(QStringLiteral("nothing-like-this"));
    QCOMPARE(s.HighlightedIds(), QList<int>{});
    QCOMPARE(s.StatusBar(), QStringLiteral("符合条件的歌曲:0首"));
  }
};

QTEST_MAIN(SongListCheckSearchTest)
#include "song_list_check_search_test.moc"
