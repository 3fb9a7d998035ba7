// The window as a person uses it every day, one path per test: a window that grows and remembers itself,
// the keys, the toggle that shows only the matching songs, the right-click menu, pictures dropped on the
// cover, what a missing folder or cover says, big removals, and the choosers.

#include <QAbstractItemModelTester>
#include <QAction>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTableView>
#include <QUrl>
#include <QtTest>
#include <filesystem>
#include <map>
#include <semaphore>
#include <utility>

#include "core/formats/chart_header.h"
#include "core/library/sort.h"
#include "core/text/gbk.h"
#include "core/text/native_path.h"
#include "tests/support/scripted_interaction.h"
#include "tests/ui/ui_test_support.h"
#include "ui/app/commands.h"
#include "ui/app/main_frame.h"
#include "ui/app/qt_interaction.h"
#include "ui/app/trakly_app.h"
#include "ui/app/window_settings.h"
#include "ui/library/background_scan.h"
#include "ui/library/cover_frame.h"
#include "ui/library/search_field.h"
#include "ui/library/song_list_filter.h"
#include "ui/library/song_list_menu.h"
#include "ui/library/song_table_model.h"
#include "ui/library/trakly_view.h"

using vx::fixtures::ScriptedInteraction;
using namespace vx::ui;
using namespace vx::ui::testing;

namespace {

struct Window : ScannedFrame {
  void Restart() {
    frame->close();
    frame.reset();
    Start();
  }
  QTableView* List() const { return View()->SongList(); }
  QWidget* Child(const char* name) const { return View()->findChild<QWidget*>(QString::fromLatin1(name)); }
  QList<int> Ids() const {
    QList<int> ids;
    for (std::size_t r = 0; r < View()->Table().Size(); ++r) ids << View()->Table().Row(r).Id();
    return ids;
  }
  QList<int> ShownIds() const {
    QList<int> ids;
    for (int r = 0; r < List()->model()->rowCount(); ++r)
      if (!List()->isRowHidden(r)) ids << View()->Table().Row(static_cast<std::size_t>(r)).Id();
    return ids;
  }
  void Highlight(std::initializer_list<int> ids) const {
    std::vector<std::size_t> rows;
    for (const int id : ids) rows.push_back(static_cast<std::size_t>(RowOf(id)));
    View()->SelectRows(rows);
  }
  QString TickSummary() const {
    auto* pane = frame->statusBar()->findChild<QLabel*>(QStringLiteral("tickSummary"));
    return pane->isVisible() ? pane->text() : QString();
  }
  QPoint RowCentre(int id) const {
    return List()->visualRect(View()->Model()->index(RowOf(id), vx::kColTitle)).center();
  }
  void Activate() const {
    frame->activateWindow();
    (void)QTest::qWaitForWindowActive(frame.get());
  }
};

std::string LastQuestion(const ScriptedInteraction& ui) {
  for (auto e = ui.events.rbegin(); e != ui.events.rend(); ++e)
    if (e->kind == ScriptedInteraction::Event::kOkCancel) return vx::Utf8FromGbk(e->text);
  return {};
}

// Records the folder each file URL handed to the desktop names.
// Same rows in the same order, each with its tick.
bool SameRows(const vx::SongTable& a, const vx::SongTable& b) {
  if (a.Size() != b.Size()) return false;
  for (std::size_t r = 0; r < a.Size(); ++r)
    if (a.IsTicked(r) != b.IsTicked(r) || a.Row(r).cells != b.Row(r).cells) return false;
  return true;
}

class UrlCatcher : public QObject {
  Q_OBJECT
 public:
  QList<QUrl> opened;
 public slots:
  void Open(const QUrl& url) { opened << url; }
};

}  // namespace

class WindowInputTest : public QObject {
  Q_OBJECT

 private slots:
  void theTableTakesWhatTheWindowGrowsAndNothingShrinksBelowTheForm() {
    Window w;
    const char* left[] = {"coverFrame", "selectAll", "calcListSize", "folderSettings", "scan"};
    const char* editor[] = {"titleEdit", "easyEdit", "hardEdit", "save"};
    const auto geometryOf = [&w](const char* name) { return w.Child(name)->geometry(); };
    // At the opening size the table stands exactly where the form places it.
    const QRect table = w.List()->geometry();
    QCOMPARE(table, QRect(264, 11, 635, 370));
    std::map<std::string, QRect> before;
    for (const char* name : left) before[name] = geometryOf(name);
    for (const char* name : editor) before[name] = geometryOf(name);
    QHeaderView* header = w.List()->horizontalHeader();
    const int title = header->sectionSize(vx::kColTitle), status = header->sectionSize(vx::kColStatus);

    w.frame->resize(1300, 900);
    QCOMPARE(w.frame->size(), QSize(1300, 900));
    QCOMPARE(w.List()->geometry(), table.adjusted(0, 0, 378, 362));
    // The title column takes the new width, the others keep theirs, and no empty band is left.
    QCOMPARE(header->sectionSize(vx::kColTitle), title + 378);
    QCOMPARE(header->sectionSize(vx::kColStatus), status);
    QCOMPARE(header->length(), w.List()->viewport()->width());
    for (const char* name : left) QCOMPARE(geometryOf(name), before[name]);
    for (const char* name : editor) {
      QCOMPARE(geometryOf(name), before[name].translated(0, 362));
      QVERIFY(geometryOf(name).top() > w.List()->geometry().bottom());
    }

    w.frame->resize(600, 400);
    QCOMPARE(w.frame->size(), QSize(922, 538));
    QCOMPARE(w.List()->geometry(), table);
  }

  // A library longer than the window shows a vertical scroll bar; the few pixels it takes come out of the
  // title, not as a horizontal scroll bar, while a title the player widened well past the room keeps its
  // width and scrolls.
  void aLongLibraryFitsTheTableWithoutAHorizontalScrollBar() {
    Window w;
    for (int id = 40; id < 80; ++id) w.folder.AddSong(id, SongWithHard("Song", 3));
    w.Restart();
    QTableView* list = w.List();
    QHeaderView* header = list->horizontalHeader();
    QTRY_VERIFY(list->verticalScrollBar()->isVisible());  // laid out as the events come
    QVERIFY(!list->horizontalScrollBar()->isVisible());
    QCOMPARE(header->length(), list->viewport()->width());

    header->resizeSection(vx::kColTitle, header->sectionSize(vx::kColTitle) + 200);
    QTRY_VERIFY(list->horizontalScrollBar()->isVisible());
    QVERIFY(header->length() > list->viewport()->width());
  }

  void placeColumnsAndSortComeBackAtTheNextStartAndRecFileStaysAsItWas() {
    Window w;
    const vx::Bytes rec = w.folder.SettingsBytes();
    w.frame->move(30, 40);
    w.frame->resize(1000, 700);
    w.List()->horizontalHeader()->resizeSection(vx::kColTitle, 400);
    emit w.List()->horizontalHeader()->sectionClicked(vx::kColHard);  // hardest first
    emit w.List()->horizontalHeader()->sectionClicked(vx::kColHard);  // easiest first
    QCOMPARE(w.Ids(), (QList<int>{7, 12, 30}));
    w.Restart();

    QVERIFY(QFile::exists(QString::fromStdString(w.folder.Path() + "/vxorganizer.ini")));
    QCOMPARE(w.folder.SettingsBytes(), rec);
    QCOMPARE(w.frame->pos(), QPoint(30, 40));
    QCOMPARE(w.frame->size(), QSize(1000, 700));
    QCOMPARE(w.List()->horizontalHeader()->sectionSize(vx::kColTitle), 400);
    QCOMPARE(w.Ids(), (QList<int>{7, 12, 30}));                       // the first scan comes as last sorted
    emit w.List()->horizontalHeader()->sectionClicked(vx::kColHard);  // and the next click turns it round
    QCOMPARE(w.Ids(), (QList<int>{30, 12, 7}));

    w.frame->setWindowState(Qt::WindowMaximized);
    w.Restart();
    QVERIFY(w.frame->windowState().testFlag(Qt::WindowMaximized));
    QCOMPARE(w.frame->normalGeometry().size(), QSize(1000, 700));
    QCOMPARE(w.Ids(), (QList<int>{30, 12, 7}));
  }

  // The player comes back to the library as it was left: scanned at start, in the order chosen, which
  // F5 keeps and the header shows; without a folder, F5 and the install say so before anything else.
  void theLibraryIsScannedAtStartInTheChosenOrderAndNeedsAFolder() {
    Window w;
    QHeaderView* header = w.List()->horizontalHeader();
    emit header->sectionClicked(vx::kColHard);  // hardest first
    QCOMPARE(w.Ids(), (QList<int>{30, 12, 7}));
    w.List()->setFocus();
    QTest::keyClick(w.List(), Qt::Key_F5);
    w.View()->WaitForScan();
    QCOMPARE(w.Ids(), (QList<int>{30, 12, 7}));
    QVERIFY(header->isSortIndicatorShown());
    QCOMPARE(header->sortIndicatorSection(), int{vx::kColHard});
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);

    w.frame->close();
    CMainFrame next(w.folder.Path(), w.ui);  // no scan asked for: the start does it
    next.View()->WaitForScan();
    QCOMPARE(next.View()->Model()->rowCount(), 3);
    QCOMPARE(next.View()->Table().Row(0).Id(), 30);
    QCOMPARE(next.View()->SongList()->horizontalHeader()->sortIndicatorSection(), int{vx::kColHard});

    // A folder that is not there: nothing at start, and F5 and 导入歌曲 say so before any chooser.
    vx::fixtures::WriteFile(w.folder.Settings(), vx::fixtures::BuildSettingsFile(w.folder.Path() + "/gone"));
    CMainFrame lost(w.folder.Path(), w.ui);
    QCOMPARE(lost.View()->Model()->rowCount(), 0);
    QVERIFY(w.ui.events.empty());
    lost.View()->OnScan();
    lost.View()->WaitForScan();
    lost.Action(kCmdInstallSongs)->trigger();
    lost.Action(kCmdInstallFolder)->trigger();
    QCOMPARE(w.ui.Messages(), (std::vector<std::string>(3, "请检查目录设置")));
    QCOMPARE(w.ui.events.size(), std::size_t{3});  // no chooser opened
    QVERIFY(!lost.statusBar()->currentMessage().contains(QStringLiteral("扫描完毕")));
  }

  // A scan reads on its own thread: the window keeps answering, the status bar counts, everything that
  // needs the table is off, and 取消 or Esc leaves the table as it was; a scan let run to its end gives
  // the folder's rows in the chosen order.
  void aScanKeepsTheWindowAnsweringAndStopsLeavingTheTableAsItWas() {
    Window w;
    for (int id = 100; id < 700; ++id)
      w.folder.AddSong(id, SongWithHard("Many", static_cast<std::uint16_t>(id % 9)));
    w.View()->OnScan();
    w.View()->WaitForScan();
    emit w.List()->horizontalHeader()->sectionClicked(vx::kColHard);
    w.Tick(12);
    w.Tick(650);
    const vx::SongTable before = w.View()->Table();
    auto* scanButton = qobject_cast<QPushButton*>(w.Child("scan"));

    struct Stop {
      const char* how;
      std::function<void()> press;
    };
    const Stop stops[] = {{"Esc", [&] { QTest::keyClick(w.frame.get(), Qt::Key_Escape); }},
                          {"取消", [&] { scanButton->click(); }}};
    for (const Stop& stop : stops) {
      // The scan is held after its first report until the stop has been pressed.
      std::counting_semaphore<2> reported{0}, release{0};
      BackgroundScan::afterProgressForTests = [&, first = true](int, int) mutable {
        if (!std::exchange(first, false)) return;
        reported.release();
        release.acquire();
      };
      // A failed check must not leave the scan held, or closing the window would wait for ever.
      const auto unhold = qScopeGuard([&release] {
        release.release();
        BackgroundScan::afterProgressForTests = nullptr;
      });
      scanButton->click();
      reported.acquire();
      bool timerFired = false;
      QTimer::singleShot(0, [&timerFired] { timerFired = true; });
      QTRY_VERIFY2(w.StatusBar().startsWith(QStringLiteral("正在扫描… ")), qPrintable(w.StatusBar()));
      QVERIFY(timerFired);
      QVERIFY(w.StatusBar().contains(QStringLiteral("/603")));
      QCOMPARE(scanButton->text(), QStringLiteral("取消"));
      QVERIFY(!w.List()->isEnabled() && !w.Child("save")->isEnabled());
      QVERIFY(!w.frame->Action(kCmdDeleteSongs)->isEnabled() && !w.frame->Search()->isEnabled());
      QVERIFY(w.frame->Action(kCmdAbout)->isEnabled());

      stop.press();
      release.release();
      w.View()->WaitForScan();
      QVERIFY2(SameRows(w.View()->Table(), before), stop.how);
      QCOMPARE(w.StatusBar(), QStringLiteral("扫描已取消,列表没有改变"));
      QCOMPARE(scanButton->text(), QStringLiteral("扫描歌曲"));
      QVERIFY(w.List()->isEnabled() && w.frame->Action(kCmdDeleteSongs)->isEnabled());
    }

    scanButton->click();
    w.View()->WaitForScan();
    vx::SongTable expected;
    expected.Assign(vx::fixtures::ProbeScan(w.folder.Music()));
    vx::SortTable(expected, vx::kColHard, false);
    QVERIFY(SameRows(w.View()->Table(), expected));
    QVERIFY(w.StatusBar().startsWith(QStringLiteral("扫描完毕:共找到603首歌曲")));
    auto* progress = w.View()->findChild<QProgressBar*>(QStringLiteral("scanProgress"));
    QVERIFY(progress->value() < progress->minimum());  // idle: empty and quiet
  }

  // 目录设置 naming another library shows it at once; an install into a folder the table does not show yet
  // brings in the whole folder, not only the new songs.
  void aNewMusicFolderShowsAtOnceAndAnInstallShowsTheWholeFolder() {
    Window w;
    const std::string other = w.folder.Path() + "/other";
    vx::fixtures::WriteSong(other, 3, SongWithHard("Other", 1));
    WhenModalOpens([&](QWidget* modal) {
      modal->findChild<QLineEdit*>(QStringLiteral("musicDir"))->setText(QString::fromStdString(other));
      modal->findChild<QPushButton*>(QStringLiteral("ok"))->click();
    });
    w.ui.okCancelAnswers = {true};  // the start folder's move and image folders are not there
    w.View()->OnFolderSettings();
    w.View()->WaitForScan();
    QCOMPARE(w.Ids(), QList<int>{3});

    vx::fixtures::WriteFile(w.folder.Settings(), vx::fixtures::BuildSettingsFile(w.folder.Music()));
    const std::string chart = w.folder.Path() + "/in/vxma100.vxn";
    vx::fixtures::WriteFile(chart, vx::fixtures::BuildChart(vx::fixtures::ChartSpec{}));
    vx::fixtures::WriteFile(w.folder.Path() + "/in/vxma100.vxm", vx::Bytes{1});
    w.ui.openFilesAnswers = {{vx::GbkPath(vx::PathFromUtf8(chart))}};
    w.frame->Action(kCmdInstallSongs)->trigger();
    w.View()->WaitForScan();
    QCOMPARE(w.Ids(), (QList<int>{7, 12, 30, 100}));
    QCOMPARE(qobject_cast<QLineEdit*>(w.Child("folderSongs"))->text(), QStringLiteral("4"));
  }

  // Typed but unsaved texts are asked about before the window closes.
  void closingWithUnsavedTextsAsksFirst() {
    Window w;
    QTest::mouseClick(w.List()->viewport(), Qt::LeftButton, {}, w.RowCentre(12));
    qobject_cast<QLineEdit*>(w.Child("titleEdit"))->setText(QStringLiteral("Alpha 2"));
    QVERIFY(!w.frame->close());  // 取消
    QVERIFY(w.frame->isVisible());
    w.ui.saveChangesAnswers = {vx::SaveChangesAnswer::kSave};
    QVERIFY(w.frame->close());
    QCOMPARE(vx::ParseChartHeader(w.folder.ChartBytes(12)).title, vx::Gbk("Alpha 2"));
    QCOMPARE(w.ui.Count(ScriptedInteraction::Event::kSaveChanges), std::size_t{2});
  }

  void aDamagedOrUselessSettingsFileFallsBackToTheDefaultsSilently() {
    const QByteArray files[] = {
        QByteArray("\x00\xff\xfe[window\nx=\x01\x02", 15),
        "[window]\nx=abc\ny=10\nwidth=-5\nheight=700\nmaximized=perhaps\n"
        "[table]\ncolumnWidths=1 2 3\nsortColumn=9\nsortAscending=true\n",
        "[window]\nx=19000\ny=19000\nwidth=1000\nheight=700\nmaximized=false\n"
        "[table]\ncolumnWidths=40 40 140 40 40 40 95 60 45 99999\nsortColumn=0\nsortAscending=false\n",
    };
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    for (const QByteArray& bytes : files) {
      Window w;
      QFile ini(QString::fromStdString(w.folder.Path() + "/vxorganizer.ini"));
      QVERIFY(ini.open(QIODevice::WriteOnly));
      ini.write(bytes);
      ini.close();
      w.frame.reset();
      w.Start();
      QCOMPARE(w.frame->size(), QSize(922, 538));
      QCOMPARE(w.frame->pos(), QPoint(screen.width() / 17, screen.height() / 15));
      QVERIFY(!w.frame->windowState().testFlag(Qt::WindowMaximized));
      QCOMPARE(w.List()->horizontalHeader()->sectionSize(vx::kColStatus), 80);
      QCOMPARE(w.Ids(), (QList<int>{7, 12, 30}));
      QVERIFY(w.ui.events.empty());
    }
    // A place partly above the screen (saved by a window that did not fit) comes back whole onto it.
    Window w;
    QFile ini(QString::fromStdString(w.folder.Path() + "/vxorganizer.ini"));
    QVERIFY(ini.open(QIODevice::WriteOnly));
    ini.write("[window]\nx=30\ny=-11\nwidth=1000\nheight=700\nmaximized=false\n");
    ini.close();
    w.frame.reset();
    w.Start();
    QCOMPARE(w.frame->pos(), QPoint(30, 0));
    QCOMPARE(w.frame->size(), QSize(1000, 700));
  }

  void keysTickJumpScanFindAndDelete() {
    Window w;
    QAbstractItemModelTester tester(w.View()->Model(),
                                    QAbstractItemModelTester::FailureReportingMode::QtTest);
    w.Activate();
    auto* title = qobject_cast<QLineEdit*>(w.Child("titleEdit"));
    title->setText(QStringLiteral("typed"));
    w.Tick(30);
    qobject_cast<QPushButton*>(w.Child("calcListSize"))->click();
    const QString listSize = qobject_cast<QLineEdit*>(w.Child("listSize"))->text();

    // Space ticks the highlighted rows together, as the 选中 header does; the typed text stays.
    w.Highlight({7, 12});
    w.List()->setFocus();
    QTest::keyClick(w.List(), Qt::Key_Space);
    QVERIFY(w.Ticked(7) && w.Ticked(12) && w.Ticked(30));
    QTest::keyClick(w.List(), Qt::Key_Space);
    QVERIFY(!w.Ticked(7) && !w.Ticked(12) && w.Ticked(30));
    QCOMPARE(title->text(), QStringLiteral("typed"));
    QCOMPARE(qobject_cast<QLineEdit*>(w.Child("listSize"))->text(), listSize);

    // Home, End and the page keys move the highlight by rows; the editor and the cover follow.
    const CoverFrame* cover = w.View()->CoverPreview();
    const std::pair<Qt::Key, int> jumps[] = {
        {Qt::Key_End, 30}, {Qt::Key_Home, 7}, {Qt::Key_PageDown, 30}, {Qt::Key_PageUp, 7}};
    for (const auto& [key, id] : jumps) {
      QTest::keyClick(w.List(), key);
      QCOMPARE(w.List()->selectionModel()->selectedRows().size(), 1);
      QCOMPARE(w.List()->selectionModel()->selectedRows().front().row(), w.RowOf(id));
      QCOMPARE(cover->Cover(), Decoded(SongWithHard("", id == 7 ? 5 : 18).cover));
      QCOMPARE(w.View()->EditTarget()->songId, id);
    }
    QCOMPARE(title->text(), QStringLiteral("星之海"));

    w.folder.AddSong(40, SongWithHard("Gamma", 3));
    QTest::keyClick(w.List(), Qt::Key_F5);
    w.View()->WaitForScan();
    QCOMPARE(w.Ids(), (QList<int>{7, 12, 30, 40}));

    QTest::keyClick(w.List(), Qt::Key_F, Qt::ControlModifier);
    QVERIFY(w.frame->Search()->hasFocus());
    QTest::keyClicks(w.frame->Search(), QStringLiteral("Alpha"));
    QTest::keyClick(w.frame->Search(), Qt::Key_Escape);
    QCOMPARE(w.frame->Search()->text(), QString());

    // Delete in a field edits the text; in the table it asks to delete the ticked songs.
    QCOMPARE(w.frame->Action(kCmdDeleteSongs)->shortcut(), QKeySequence(Qt::Key_Delete));
    title->setFocus();
    title->setCursorPosition(0);
    QTest::keyClick(title, Qt::Key_Delete);
    QCOMPARE(title->text(), QStringLiteral("之海"));
    QCOMPARE(w.ui.Count(ScriptedInteraction::Event::kOkCancel), std::size_t{0});
    w.Tick(12);
    w.Tick(30);
    w.ui.okCancelAnswers = {true};
    w.List()->setFocus();
    QTest::keyClick(w.List(), Qt::Key_Delete);
    QCOMPARE(w.Ids(), (QList<int>{7, 40}));
    QVERIFY(LastQuestion(w.ui).find("2首歌曲") != std::string::npos);
  }

  void onlyMatchingRowsShowYetOperationsReachEveryTickedRow() {
    Window w;
    w.folder.AddSong(5, SongWithHard("Beta Two", 20));
    w.View()->OnScan();
    w.View()->WaitForScan();
    w.Tick(7);
    w.Tick(30);
    w.frame->MatchesOnly()->setChecked(true);
    QCOMPARE(w.TickSummary(), QStringLiteral("已勾选2首"));  // nothing typed, nothing hidden

    w.frame->Search()->setText(QStringLiteral("beta"));
    QCOMPARE(w.ShownIds(), (QList<int>{5, 30}));
    QCOMPARE(w.HighlightedIds(), QList<int>{5});  // only the first match, not every row in sight
    QCOMPARE(w.View()->Model()->rowCount(), 4);
    QCOMPARE(w.TickSummary(), QStringLiteral("已勾选2首,其中1首未显示"));
    // The arrow key's cover is that of the next row shown, where the highlight goes.
    w.Highlight({5});
    QTest::keyClick(w.List(), Qt::Key_Down);
    QCOMPARE(w.View()->CoverPreview()->Cover(), Decoded(SongWithHard("", 18).cover));

    // Sorting orders every row and keeps the same ones hidden; a highlight on a hidden row is no choice.
    emit w.List()->horizontalHeader()->sectionClicked(vx::kColId);
    QCOMPARE(w.Ids(), (QList<int>{30, 12, 7, 5}));
    QCOMPARE(w.ShownIds(), (QList<int>{30, 5}));
    w.List()->selectAll();
    emit w.List()->horizontalHeader()->sectionClicked(vx::kColTick);
    QVERIFY(w.Ticked(5) && w.Ticked(30) && w.Ticked(7) && !w.Ticked(12));
    QCOMPARE(w.TickSummary(), QStringLiteral("已勾选3首,其中1首未显示"));

    // The delete takes exactly the ticked songs, the hidden one too, and says so before.
    w.ui.okCancelAnswers = {true};
    w.frame->Action(kCmdDeleteSongs)->trigger();
    QVERIFY(LastQuestion(w.ui).find("3首歌曲") != std::string::npos);
    QCOMPARE(w.Ids(), QList<int>{12});
    QVERIFY(vx::FileExists(w.folder.Chart(12)) && !vx::FileExists(w.folder.Chart(7)));
    QCOMPARE(w.ShownIds(), QList<int>{});
    QCOMPARE(w.TickSummary(), QStringLiteral("已勾选0首,其中0首未显示"));

    QTest::keyClick(w.frame->Search(), Qt::Key_Escape);
    QCOMPARE(w.ShownIds(), QList<int>{12});
    QCOMPARE(w.TickSummary(), QStringLiteral("已勾选0首"));
    w.frame->Search()->setText(QStringLiteral("nothing"));
    w.frame->MatchesOnly()->setChecked(false);
    QCOMPARE(w.ShownIds(), QList<int>{12});
    // Turned on over a search that highlighted every match: the highlight narrows the same way.
    for (const int id : {5, 6}) w.folder.AddSong(id, SongWithHard("Beta", 20));
    w.View()->OnScan();
    w.View()->WaitForScan();
    w.frame->Search()->setText(QStringLiteral("beta"));
    QCOMPARE(w.HighlightedIds(), (QList<int>{5, 6}));
    w.frame->MatchesOnly()->setChecked(true);
    QCOMPARE(w.HighlightedIds().size(), 1);
  }

  void rightClickOffersTheTickedSongCommandsAndTheSongsFolder() {
    Window w;
    QVERIFY(!w.View()->ContextMenu()->MenuAt(QPoint(5, w.List()->viewport()->height() - 2)));
    const auto menu = w.View()->ContextMenu()->MenuAt(w.RowCentre(12));
    QVERIFY(menu);
    QStringList entries;
    for (QAction* action : menu->actions())
      entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
    QCOMPARE(entries, (QStringList{"生成文本列表", "批量文本", "-", "生成游戏歌曲列表", "删除歌曲",
                                   "转移歌曲", "-", "导出图片", "导入图片", "-", "一周更新", "最新更新",
                                   "最受欢迎", "撤销状态", "-", "打开所在文件夹"}));
    // The menus' own actions: what greys out there greys out here.
    QCOMPARE(menu->actions().at(5), w.frame->Action(kCmdMoveSongs));
    w.frame->Action(kCmdMoveSongs)->setEnabled(false);
    QVERIFY(!menu->actions().at(5)->isEnabled());

#ifdef Q_OS_WIN
    // Explorer opens the folder with the chart selected; starting it here would leave a window behind.
    QCOMPARE(ExplorerSelectArguments(QStringLiteral("C:/游戏/MUSIC/vxma12.vxn")),
             QStringLiteral("/select,\"C:\\游戏\\MUSIC\\vxma12.vxn\""));
#else
    UrlCatcher desktop;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &desktop, "Open");
    menu->actions().back()->trigger();
    QCOMPARE(desktop.opened, QList<QUrl>{QUrl::fromLocalFile(QString::fromStdString(w.folder.Music()))});
#endif
    vx::fixtures::WriteFile(w.folder.Settings(), vx::fixtures::BuildSettingsFile(""));
    menu->actions().back()->trigger();
#ifndef Q_OS_WIN
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QCOMPARE(desktop.opened.size(), 1);
#endif
    QCOMPARE(w.ui.Messages(), std::vector<std::string>{"请检查目录设置"});
  }

  void aJpegDroppedOnTheCoverAsksAndAnythingElseIsRefused() {
    Window w;
    auto* cover = w.View()->findChild<CoverFrame*>(QStringLiteral("coverFrame"));
    const vx::Bytes jpeg = vx::fixtures::MakeJpeg(64, 48, 9);
    const QString picture = QString::fromStdString(w.folder.Path() + "/新封面.JPG");
    vx::fixtures::WriteFile(picture.toStdString(), jpeg);
    const QList<QUrl> one = {QUrl::fromLocalFile(picture)};

    Drop(cover, one);  // no song previewed yet
    QCOMPARE(w.ui.Messages(), std::vector<std::string>{"请先选定一首歌"});

    QTest::mouseClick(w.List()->viewport(), Qt::LeftButton, {}, w.RowCentre(12));
    const vx::Bytes before = w.folder.ChartBytes(12);
    Drop(cover, one);
    QCOMPARE(w.ui.Count(ScriptedInteraction::Event::kOkCancel), std::size_t{1});
    QVERIFY(LastQuestion(w.ui).find("编号12 Alpha") != std::string::npos);
    QCOMPARE(w.folder.ChartBytes(12), before);  // Cancel

    w.ui.okCancelAnswers = {true};
    Drop(cover, one);
    const vx::Bytes chart = w.folder.ChartBytes(12);
    QVERIFY(std::equal(jpeg.begin(), jpeg.end(), chart.end() - static_cast<std::ptrdiff_t>(jpeg.size())));
    QCOMPARE(cover->Cover().size(), QSize(64, 48));

    const QString other = QString::fromStdString(w.folder.Path() + "/cover.png");
    for (const auto& [urls, text] : {std::pair{QList<QUrl>{QUrl::fromLocalFile(other)}, QString()},
                                     std::pair{QList<QUrl>{one.front(), one.front()}, QString()},
                                     std::pair{QList<QUrl>{}, QStringLiteral("some text")}}) {
      w.ui.events.clear();
      Drop(cover, urls, text);
      QCOMPARE(w.ui.Messages(), std::vector<std::string>{"只能把一个.jpg图片拖到封面上"});
      QCOMPARE(w.ui.Count(ScriptedInteraction::Event::kOkCancel), std::size_t{0});
    }
  }

  void aMissingFolderAndAVanishedCoverSaySoInsteadOfShowingSomethingElse() {
    Window w;
    QTest::mouseClick(w.List()->viewport(), Qt::LeftButton, {}, w.RowCentre(12));
    QVERIFY(!w.View()->CoverPreview()->Cover().isNull());
    std::filesystem::remove(vx::NativePath(w.folder.Chart(30)));
    QTest::mouseClick(w.List()->viewport(), Qt::LeftButton, {}, w.RowCentre(30));
    QVERIFY(w.View()->CoverPreview()->Cover().isNull());

    vx::fixtures::WriteFile(w.folder.Settings(), vx::fixtures::BuildSettingsFile(w.folder.Path() + "/gone"));
    w.View()->OnScan();
    w.View()->WaitForScan();
    QCOMPARE(w.View()->Model()->rowCount(), 0);
    QCOMPARE(w.ui.Messages(), std::vector<std::string>{"请检查目录设置"});
    QVERIFY(w.View()->CoverPreview()->Cover().isNull());
  }

  void aBigDeleteIsOneLayoutChangeAndKeepsTheTopSongOnTop() {
    StartFolder folder;
    for (int id = 0; id < 200; ++id) folder.AddSong(id, vx::fixtures::ChartSpec{}, /*withMusic=*/false);
    ScriptedInteraction ui;
    CMainFrame frame(folder.Path(), ui);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    CTRAKLYView* view = frame.View();
    view->OnScan();
    view->WaitForScan();
    QAbstractItemModelTester tester(view->Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    for (int r = 0; r < 200; r += 2)
      view->Model()->setData(view->Model()->index(r, 0), Qt::Checked, Qt::CheckStateRole);
    const std::array<std::size_t, 2> highlight = {101, 150};
    view->SelectRows(highlight);
    view->SongList()->scrollTo(view->Model()->index(100, 0),
                               QAbstractItemView::PositionAtTop);  // song 100 goes
    QSignalSpy layouts(view->Model(), &QAbstractItemModel::layoutChanged);
    QSignalSpy removals(view->Model(), &QAbstractItemModel::rowsRemoved);

    ui.okCancelAnswers = {true};
    frame.Action(kCmdDeleteSongs)->trigger();

    QCOMPARE(view->Table().Size(), std::size_t{100});
    QCOMPARE(layouts.size(), 1);
    QCOMPARE(removals.size(), 0);
    QCOMPARE(view->Table().Row(static_cast<std::size_t>(view->SongList()->rowAt(0))).Id(), 101);
    QList<int> highlighted;
    for (const QModelIndex& index : view->SongList()->selectionModel()->selectedRows())
      highlighted << view->Table().Row(static_cast<std::size_t>(index.row())).Id();
    QCOMPARE(highlighted, QList<int>{101});
  }

  void choosersSpeakChineseStartWhereThePersonLooksAndCaptionsFit() {
    QVERIFY(InstallQtChinese(*qApp));
    StartFolder start;
    std::filesystem::create_directories(vx::NativePath(start.Path() + "/pics"));
    WindowSettings places(WindowSettings::PathIn(start.Path()));
    QtInteraction ui;
    vx::FileDialogRequest jpg;
    jpg.filters = {{vx::Gbk("JPG图片文件(*.jpg)"), "*.jpg"}};
    vx::FileDialogRequest txt;
    txt.filters = {{vx::Gbk("文件(*.txt)"), "*.txt"}};
    QString startedIn;
    QStringList buttons;
    const auto pick = [&](const QString& file) {
      WhenModalOpens([&, file](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        QVERIFY(dialog);
        startedIn = dialog->directory().absolutePath();
        buttons.clear();
        for (QAbstractButton* button : dialog->findChild<QDialogButtonBox*>()->buttons())
          buttons << button->text();
        if (file.isEmpty()) return;
        dialog->selectFile(file);
        QMetaObject::invokeMethod(dialog, "accept");
      });
    };

    pick({});  // before anything is remembered: home
    (void)ui.ChooseOpenFile(jpg);
    QCOMPARE(startedIn, QDir::homePath());
    QVERIFY2(buttons.contains(QStringLiteral("取消")), qPrintable(buttons.join(u',')));

    ui.RememberPlaces(&places, start.Settings());
    const QString chosen = QString::fromStdString(start.Path() + "/pics/a.jpg");
    vx::fixtures::WriteFile(chosen.toStdString(), vx::fixtures::FakeCover(8));
    pick(chosen);  // the MUSIC folder's parent
    QVERIFY(ui.ChooseOpenFile(jpg) ==
            vx::GbkPath(vx::NativePath(start.Path() + "/pics/a.jpg").make_preferred()));
    QCOMPARE(startedIn, QString::fromStdString(start.Path()));
    pick({});  // the same kind comes back to where it was last
    (void)ui.ChooseOpenFile(jpg);
    QCOMPARE(startedIn, QString::fromStdString(start.Path() + "/pics"));
    pick({});  // another kind does not
    (void)ui.ChooseSaveFile(txt);
    QCOMPARE(startedIn, QString::fromStdString(start.Path()));
    QCOMPARE(places.LastFolder(QStringLiteral("jpg")), QString::fromStdString(start.Path() + "/pics"));
    // Folder choosers are told apart by what they ask: 目录设置's pick does not move the install's.
    pick(QString::fromStdString(start.Path() + "/pics"));
    QVERIFY(ui.ChooseFolder(vx::Gbk("请选择文件存放的路径:")));
    pick({});
    (void)ui.ChooseFolder(vx::Gbk("请选择要导入的歌曲所在的文件夹:"));
    QCOMPARE(startedIn, QString::fromStdString(start.Path()));
    pick({});
    (void)ui.ChooseFolder(vx::Gbk("请选择文件存放的路径:"));
    QCOMPARE(startedIn, QString::fromStdString(start.Path() + "/pics"));

    // A message with a two-letter text is still wide enough for the whole caption.
    int width = 0;
    WhenModalOpens([&width](QWidget* modal) { width = modal->width(); });
    ui.ShowMessage("OK", vx::Gbk("VX歌曲整理器"));
    QFont bold = QApplication::font();
    bold.setBold(true);
    QVERIFY(width > QFontMetrics(bold).horizontalAdvance(QStringLiteral("VX歌曲整理器")) + 100);
  }
};

QTEST_MAIN(WindowInputTest)
#include "window_input_test.moc"
