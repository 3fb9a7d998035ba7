// Bringing songs in and taking changes back, in the window: the install from the menu and from a drop on
// the table, its clash question, a pack and the progress of its install, renumbering the highlighted song,
// the history dialog and Ctrl+Z.

#include <QAbstractItemModelTester>
#include <QAction>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableView>
#include <QTableWidget>
#include <QUrl>
#include <QtTest>

#include "core/formats/chart_header.h"
#include "core/history/history.h"
#include "core/text/gbk.h"
#include "core/text/native_path.h"
#include "tests/support/scripted_interaction.h"
#if VX_HAVE_LIBARCHIVE
#include "tests/support/song_pack_fixtures.h"
#endif
#include "tests/ui/ui_test_support.h"
#include "ui/app/commands.h"
#include "ui/app/main_frame.h"
#include "ui/app/qt_interaction.h"
#include "ui/library/cover_frame.h"
#include "ui/library/history_dlg.h"
#include "ui/library/song_table_model.h"
#include "ui/library/trakly_view.h"

using vx::fixtures::ScriptedInteraction;
using namespace vx::ui;
using namespace vx::ui::testing;
using Kind = ScriptedInteraction::Event::Kind;

class InstallHistoryWindowTest : public QObject {
  Q_OBJECT

 private:
  // Songs outside the library, as a friend sends them: <name>.vxn and <name>.vxm in <start>/in.
  static std::string Outside(const ScannedFrame& s, const std::string& name, const char* title) {
    vx::fixtures::ChartSpec recipe;
    recipe.title = title;
    const std::string chart = s.folder.Path() + "/in/" + name + ".vxn";
    vx::fixtures::WriteFile(chart, vx::fixtures::BuildChart(recipe));
    vx::fixtures::WriteFile(s.folder.Path() + "/in/" + name + ".vxm", vx::Bytes{1});
    return chart;
  }
#if VX_HAVE_LIBARCHIVE
  // A zip in <start>/in holding songs 40, 41, ... in a folder.
  static QUrl PackOutside(const ScannedFrame& s, int songs) {
    std::vector<vx::fixtures::PackEntry> entries;
    for (int id = 40; id < 40 + songs; ++id) {
      const auto song = vx::fixtures::PackSongEntries("songs", "vxma" + std::to_string(id) + ".vxn",
                                                      "vxma" + std::to_string(id) + ".vxm", "Packed");
      entries.insert(entries.end(), song.begin(), song.end());
    }
    const std::string pack = s.folder.Path() + "/in/pack.zip";
    vx::fixtures::WriteFile(pack, *vx::fixtures::BuildPack(vx::fixtures::PackFormat::kZipGbk, entries));
    return QUrl::fromLocalFile(QString::fromStdString(pack));
  }
#endif
  static QString FolderSongs(const ScannedFrame& s) {
    return s.View()->findChild<QLineEdit*>(QStringLiteral("folderSongs"))->text();
  }

 private slots:
  void installedSongsArriveTickedAndAClashIsAskedWithFourAnswers() {
    ScannedFrame s;
    QAbstractItemModelTester tester(s.View()->Model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    s.View()->SelectRows(std::vector<std::size_t>{1});
    const std::string fresh = Outside(s, "vxma100", "Fresh"), clash = Outside(s, "vxma12", "Other");
    s.ui.openFilesAnswers = {{vx::GbkPath(vx::PathFromUtf8(fresh)), vx::GbkPath(vx::PathFromUtf8(clash))}};
    s.ui.clashAnswers = {vx::ClashAnswer::kNextFreeId};
    s.frame->Action(kCmdInstallSongs)->trigger();

    QCOMPARE(s.ui.clashOffers.size(), std::size_t{1});
    QCOMPARE(s.ui.clashOffers[0].size(), std::size_t{4});
    QVERIFY(vx::Utf8FromGbk(s.ui.events[1].text).find("已有:编号12 Alpha") != std::string::npos);
    QCOMPARE(s.RowOf(100), 3);
    QCOMPARE(s.RowOf(0), 4);  // the lowest free ID
    QVERIFY(s.Ticked(100) && s.Ticked(0) && !s.Ticked(12));
    QCOMPARE(FolderSongs(s), QStringLiteral("5"));
    QCOMPARE(s.HighlightedIds(), QList<int>{12});  // the highlight stayed on its song
    QVERIFY(s.ui.Messages().back().rfind("导入了2首歌曲,跳过了0首:", 0) == 0);
  }

  void songFilesDroppedOnTheTableAreInstalled() {
    ScannedFrame s;
    Outside(s, "vxma200", "Dropped");
    Drop(s.View()->SongList()->viewport(),
         {QUrl::fromLocalFile(QString::fromStdString(s.folder.Path() + "/in")),
          QUrl::fromLocalFile(QString::fromStdString(s.folder.Path() + "/notes.txt"))});
    QCOMPARE(s.RowOf(200), 3);
    QVERIFY(s.Ticked(200));
  }

#if VX_HAVE_LIBARCHIVE
  void aPackDroppedOnTheTableIsInstalledAndShown() {
    ScannedFrame s;
    Drop(s.View()->SongList()->viewport(), {PackOutside(s, 2)});
    QVERIFY(s.RowOf(40) >= 0 && s.RowOf(41) >= 0);
    QVERIFY(s.Ticked(40) && s.Ticked(41));
    QVERIFY(vx::FileExists(s.folder.Chart(41)));
    const std::string place = std::string("pack.zip") + vx::kPathSeparator + "songs" + vx::kPathSeparator;
    QVERIFY(s.ui.Messages().back().find(place + "vxma40.vxn → 编号40") != std::string::npos);
  }

  void aPackInstallCancelledThroughItsProgressKeepsWholeSongsOnly() {
    ScannedFrame s;
    s.ui.progressAnswer = [](int done, int) { return done < 1; };
    Drop(s.View()->SongList()->viewport(), {PackOutside(s, 3)});
    QVERIFY(s.RowOf(40) >= 0);
    QCOMPARE(s.RowOf(41), -1);
    QCOMPARE(FolderSongs(s), QStringLiteral("4"));
    QVERIFY(!vx::FileExists(s.folder.Chart(41)));
    QCOMPARE(s.ui.Messages().back().rfind("导入已取消,已导入的歌曲都是完整的。\n导入了1首歌曲,跳过了2首:", 0),
             std::size_t{0});
  }
#endif

  // The window's progress stays away from a short install, comes up once it lasts, counts the songs,
  // and its 取消 stops the work.
  void theProgressShowsForALongInstallAndItsCancelStopsIt() {
    const auto progress = [] { return qobject_cast<QProgressDialog*>(QApplication::activeModalWidget()); };
    QtInteraction window;
    QVERIFY(window.ReportProgress(0, 3));
    QVERIFY(window.ReportProgress(3, 3));
    QVERIFY(!progress());

    QVERIFY(window.ReportProgress(0, 3));
    QThread::msleep(600);
    QVERIFY(window.ReportProgress(1, 3));
    QVERIFY(progress());
    QCOMPARE(progress()->labelText(), QStringLiteral("正在导入歌曲… 1/3"));
    progress()->findChild<QPushButton*>()->click();
    QVERIFY(!window.ReportProgress(2, 3));
    QVERIFY(!progress());
  }

  void renumberProposesTheLowestFreeIdAndTheRowShowsTheNewOne() {
    ScannedFrame s;
    s.View()->SelectRows(std::vector<std::size_t>{static_cast<std::size_t>(s.RowOf(30))});
    // A taken number is refused inside the question, naming the song there, and another is asked for.
    s.ui.numberAnswers = {12, 77};
    s.frame->Action(kCmdRenumber)->trigger();
    QCOMPARE(s.ui.Messages(), std::vector<std::string>{"这个编号已有歌曲:编号12 Alpha"});
    QCOMPARE(s.ui.Count(Kind::kNumber), std::size_t{1});
    const ScriptedInteraction::Event& asked = *std::find_if(
        s.ui.events.begin(), s.ui.events.end(), [](const auto& e) { return e.kind == Kind::kNumber; });
    QCOMPARE(asked.request.initialName, std::string("0"));  // the lowest free ID is proposed
    QVERIFY(vx::Utf8FromGbk(asked.text).rfind("编号30 ", 0) == 0);
    QCOMPARE(vx::Utf8FromGbk(asked.caption), std::string("更改编号"));
    QCOMPARE(s.RowOf(77), 2);
    QCOMPARE(s.StatusBar(), QStringLiteral("已更改编号:编号30 Beta → 77"));
    QVERIFY(vx::FileExists(s.folder.Chart(77)) && !vx::FileExists(s.folder.Chart(30)));

    s.View()->SelectRows(std::vector<std::size_t>{});
    s.frame->Action(kCmdRenumber)->trigger();
    QCOMPARE(s.ui.Messages().back(), std::string("请先选定一首歌"));
  }

  // Blue Sky → B → C in the editor; Ctrl+Z, Ctrl+Z, Ctrl+Y, Ctrl+Shift+Z step one change at a time, the
  // chart on disk and the editor following; a delete then empties the editor, and 保存 asks nothing.
  void ctrlZStepsBackOneChangeAtATimeAndTheEditorFollowsTheTable() {
    ScannedFrame s;
    auto* title = s.View()->findChild<QLineEdit*>(QStringLiteral("titleEdit"));
    s.View()->SelectRows(std::vector<std::size_t>{static_cast<std::size_t>(s.RowOf(12))});
    s.View()->OnClickSongList();
    for (const char* next : {"B", "C"}) {
      title->setText(QString::fromUtf8(next));
      s.ui.okCancelAnswers = {true};
      s.View()->OnSaveSong();
    }
    auto* redo = s.frame->findChild<QAction*>(QStringLiteral("redoShortcut"));
    QCOMPARE(redo->shortcuts(), (QList<QKeySequence>{QKeySequence(QStringLiteral("Ctrl+Y")),
                                                     QKeySequence(QStringLiteral("Ctrl+Shift+Z"))}));
    QAction* undo = s.frame->Action(kCmdUndoChange);
    const std::pair<QAction*, const char*> steps[] = {{undo, "B"}, {undo, "Alpha"}, {redo, "B"}, {redo, "C"}};
    for (const auto& [action, expected] : steps) {
      s.ui.okCancelAnswers = {true};
      action->trigger();
      QCOMPARE(vx::ParseChartHeader(s.folder.ChartBytes(12)).title, std::string(expected));
      QCOMPARE(title->text(), QString::fromUtf8(expected));
      QCOMPARE(s.StatusBar(), QStringLiteral("已恢复:编号12 ") + QString::fromUtf8(expected));
    }
    QVERIFY(!s.View()->CoverPreview()->Cover().isNull());

    s.Tick(12);
    s.ui.okCancelAnswers = {true};
    s.frame->Action(kCmdDeleteSongs)->trigger();
    QVERIFY(!s.View()->EditTarget());
    QCOMPARE(title->text(), QString());
    QVERIFY(s.View()->CoverPreview()->Cover().isNull());
    s.ui.events.clear();
    s.View()->OnSaveSong();
    QCOMPARE(s.ui.Messages(), std::vector<std::string>{"请先选定一首歌"});
    QCOMPARE(s.ui.Count(Kind::kOkCancel), std::size_t{0});
  }

  void theHistoryDialogRestoresAnEntryAndCtrlZTakesBackTheNewest() {
    ScannedFrame s;
    const vx::Bytes original = s.folder.ChartBytes(12);
    const int row = s.RowOf(12);
    s.View()->SelectRows(std::vector<std::size_t>{static_cast<std::size_t>(row)});
    s.View()->OnClickSongList();
    s.View()->findChild<QLineEdit*>(QStringLiteral("titleEdit"))->setText(QStringLiteral("改过"));
    s.ui.okCancelAnswers = {true};
    s.View()->OnSaveSong();
    QCOMPARE(s.View()->Model()->index(row, vx::kColTitle).data().toString(), QStringLiteral("改过"));

    QStringList listed;
    WhenModalOpens([&](QWidget* modal) {
      auto* dialog = qobject_cast<CHistoryDlg*>(modal);
      QVERIFY(dialog);
      QVERIFY(!dialog->RestoreButton()->isEnabled());
      for (int c = 0; c < dialog->List()->columnCount(); ++c) listed << dialog->List()->item(0, c)->text();
      dialog->List()->selectRow(0);
      dialog->RestoreButton()->click();
      QCOMPARE(dialog->List()->rowCount(), 2);  // the restore kept what it replaced
    });
    s.ui.events.clear();
    s.ui.okCancelAnswers = {true};
    s.frame->Action(kCmdHistory)->trigger();
    // 恢复 asks as Ctrl+Z does, and the editor shows the song as it now is.
    QVERIFY(vx::Utf8FromGbk(s.ui.events.at(0).text).rfind("恢复这条修改记录吗?\n", 0) == 0);
    QCOMPARE(s.View()->findChild<QLineEdit*>(QStringLiteral("titleEdit"))->text(), QStringLiteral("Alpha"));
    QCOMPARE(listed.mid(1), (QStringList{"12", "Alpha", "修改歌曲信息"}));
    QCOMPARE(s.folder.ChartBytes(12), original);
    QCOMPARE(s.View()->Model()->index(row, vx::kColTitle).data().toString(), QStringLiteral("Alpha"));

    // Ctrl+Z takes the restore back, after a question naming it.
    s.ui.events.clear();
    s.ui.okCancelAnswers = {true};
    s.frame->Action(kCmdUndoChange)->trigger();
    QCOMPARE(s.ui.Count(Kind::kOkCancel), std::size_t{1});
    QVERIFY(vx::Utf8FromGbk(s.ui.events[0].text).find("编号12 改过(恢复修改记录)") != std::string::npos);
    QCOMPARE(s.View()->Model()->index(row, vx::kColTitle).data().toString(), QStringLiteral("改过"));

    // With the history turned off for this run, a save keeps nothing.
    const auto before = s.View()->HistoryStore().Entries().size();
    s.frame->Action(kCmdKeepHistory)->setChecked(false);
    s.View()->findChild<QLineEdit*>(QStringLiteral("titleEdit"))->setText(QStringLiteral("再改"));
    s.ui.okCancelAnswers = {true};
    s.View()->OnSaveSong();
    QCOMPARE(s.View()->HistoryStore().Entries().size(), before);
  }
};

QTEST_MAIN(InstallHistoryWindowTest)
#include "install_history_window_test.moc"
