// The song library form, one user path per test: scan, select-all, list size, header clicks, row click
// with cover, arrow keys, save. Everything the form says goes through the scripted Interaction.

#include <QAbstractItemModelTester>
#include <QCheckBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QtTest>
#include <filesystem>

#include "core/formats/chart_header.h"
#include "core/operations/remove_songs.h"
#include "core/text/gbk.h"
#include "tests/support/scripted_interaction.h"
#include "tests/ui/ui_test_support.h"
#include "ui/library/cover_frame.h"
#include "ui/library/song_table_model.h"
#include "ui/library/trakly_view.h"

using vx::fixtures::ChartSpec;
using vx::fixtures::ScriptedInteraction;
using namespace vx::ui;
using namespace vx::ui::testing;

namespace {

ChartSpec Song(const char* utf8Title, std::uint16_t easy, unsigned coverSeed) {
  ChartSpec recipe;
  recipe.title = vx::Gbk(utf8Title);
  recipe.easy = easy;
  recipe.cover = vx::fixtures::MakeJpeg(64, 32, coverSeed);
  return recipe;
}

}  // namespace

class LibraryViewTest : public QObject {
  Q_OBJECT

 private:
  // A view over a start folder holding songs 7 "B", 12 "A" and 30 "中文", scanned.
  struct Scanned {
    StartFolder folder;
    ScriptedInteraction ui;
    CTRAKLYView view{folder.Path(), ui};
    QAbstractItemModelTester tester{view.Model(), QAbstractItemModelTester::FailureReportingMode::QtTest};
    std::vector<ChartSpec> recipes{Song("B", 3, 1), Song("A", 9, 2), Song("中文", 5, 3)};

    Scanned() {
      folder.AddSong(7, recipes[0], /*withMusic=*/false);
      folder.AddSong(12, recipes[1]);
      folder.AddSong(30, recipes[2]);
      view.show();
      (void)QTest::qWaitForWindowExposed(&view);
      view.OnScan();
      view.WaitForScan();
    }
    QString Cell(int row, int column) const { return view.Model()->index(row, column).data().toString(); }
    QStringList Ids() const {
      QStringList ids;
      for (int r = 0; r < view.Model()->rowCount(); ++r) ids << Cell(r, vx::kColId);
      return ids;
    }
    int RowOf(const char* id) const { return static_cast<int>(Ids().indexOf(QString::fromLatin1(id))); }
    bool Ticked(int row) const {
      return view.Model()->index(row, 0).data(Qt::CheckStateRole).toInt() == Qt::Checked;
    }
    QLineEdit* Edit(const char* name) const { return view.findChild<QLineEdit*>(QString::fromLatin1(name)); }
    void ClickRow(int row) {
      const QRect rect = view.SongList()->visualRect(view.Model()->index(row, vx::kColTitle));
      QTest::mouseClick(view.SongList()->viewport(), Qt::LeftButton, {}, rect.center());
    }
    void ClickHeader(int column) { emit view.SongList()->horizontalHeader()->sectionClicked(column); }
  };

 private slots:
  void scanFillsTheTableInIdOrderAndReportsCountAndTime() {
    StartFolder folder;
    folder.AddSong(7, Song("七", 1, 1), /*withMusic=*/false);
    folder.AddSong(12, Song("十二", 2, 2));
    vx::fixtures::WriteFile(folder.Music() + "/vxma0007.vxn", vx::fixtures::BuildChart(ChartSpec{}));
    vx::fixtures::WriteFile(folder.Music() + "/vxma5000.vxn", vx::fixtures::BuildChart(ChartSpec{}));
    ScriptedInteraction ui;
    CTRAKLYView view(folder.Path(), ui);
    QAbstractItemModelTester tester(view.Model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    auto* progress = view.findChild<QProgressBar*>(QStringLiteral("scanProgress"));
    QSignalSpy status(&view, &CTRAKLYView::StatusMessage);

    view.findChild<QPushButton*>(QStringLiteral("scan"))->click();
    view.WaitForScan();

    QCOMPARE(view.Model()->rowCount(), 2);
    QCOMPARE(view.Model()->index(0, vx::kColId).data().toString(), QStringLiteral("7"));
    QCOMPARE(view.Model()->index(0, vx::kColTitle).data().toString(), QStringLiteral("七"));
    QCOMPARE(view.Model()->index(1, vx::kColId).data().toString(), QStringLiteral("12"));
    QCOMPARE(view.Model()->index(1, vx::kColEasy).data().toString(), QStringLiteral("2"));
    QCOMPARE(view.Model()->index(1, vx::kColBpm).data().toString(), QStringLiteral("120.00"));
    QCOMPARE(view.Model()->index(1, vx::kColTime).data().toString(), QStringLiteral("2:05"));
    QCOMPARE(view.findChild<QLineEdit*>(QStringLiteral("folderSongs"))->text(), QStringLiteral("2"));
    QVERIFY(progress->value() < progress->minimum());  // idle again: empty, not a full bar
    QVERIFY(status.front().front().toString().startsWith(QStringLiteral("正在扫描… ")));
    const QString said = status.back().front().toString();
    QVERIFY2(said.contains(QStringLiteral("2首歌曲")) && said.contains(QStringLiteral("秒")),
             qPrintable(said));
    QVERIFY(ui.events.empty());
  }

  // An operation's result applied in one step: the highlight stays on its song through a removal above it,
  // a changed row repaints, an appended row arrives, and a result that does not add up resets.
  void applyingAResultKeepsTheHighlightWithItsSong() {
    Scanned s;
    s.view.SelectRows(std::vector<std::size_t>{2});  // 中文, ID 30
    vx::SongTable after = s.view.Table();
    vx::TableChange change;
    change.removedAt = vx::RemoveRows(after, {0});
    after.SetCell(0, vx::kColTitle, vx::Gbk("改"));
    change.changedRows = {0};
    vx::SongRow added = after.Row(0);
    added.cells[vx::kColId] = "40";
    after.Append(added);
    change.appended = 1;
    s.view.Model()->Apply(std::move(after), change);
    QCOMPARE(s.Ids(), (QStringList{QStringLiteral("12"), QStringLiteral("30"), QStringLiteral("40")}));
    QCOMPARE(s.Cell(0, vx::kColTitle), QStringLiteral("改"));
    QCOMPARE(s.view.SongList()->selectionModel()->selectedRows().front().row(), 1);

    vx::TableChange wrong;
    wrong.appended = 5;  // says more than the table shows: taken as a reset
    vx::SongTable same = s.view.Table();
    s.view.Model()->Apply(std::move(same), wrong);
    QCOMPARE(s.view.Model()->rowCount(), 3);
  }

  void scanWithoutSettingsFileLeavesTheTableAndSaysNothing() {
    Scanned s;
    QFile::remove(QString::fromStdString(s.folder.Settings()));
    s.view.OnScan();
    s.view.WaitForScan();
    QCOMPARE(s.view.Model()->rowCount(), 3);
    QVERIFY(s.ui.events.empty());
  }

  void selectAllTicksAndUnticksEveryRowButLeavesAnEmptyTableAlone() {
    StartFolder empty;
    ScriptedInteraction ui;
    CTRAKLYView view(empty.Path(), ui);
    auto* box = view.findChild<QCheckBox*>(QStringLiteral("selectAll"));
    box->click();
    QVERIFY(box->isChecked());

    Scanned s;
    auto* selectAll = s.view.findChild<QCheckBox*>(QStringLiteral("selectAll"));
    selectAll->click();
    for (int r = 0; r < 3; ++r) QVERIFY(s.Ticked(r));
    selectAll->click();
    for (int r = 0; r < 3; ++r) QVERIFY(!s.Ticked(r));
    // A rescan comes back unticked while the box keeps its state.
    selectAll->click();
    s.view.OnScan();
    s.view.WaitForScan();
    QVERIFY(selectAll->isChecked());
    for (int r = 0; r < 3; ++r) QVERIFY(!s.Ticked(r));
  }

  void listSizeTurnsRedOnlyAbove200KB() {
    StartFolder folder;
    ChartSpec tiny;
    tiny.noteDataSize = 0;
    for (int id = 0; id < 686; ++id) folder.AddSong(id, tiny, /*withMusic=*/false);
    ScriptedInteraction ui;
    CTRAKLYView view(folder.Path(), ui);
    auto* figure = view.findChild<QLineEdit*>(QStringLiteral("listSize"));
    auto* calc = view.findChild<QPushButton*>(QStringLiteral("calcListSize"));
    calc->click();
    QCOMPARE(figure->text(), QStringLiteral("0"));

    view.OnScan();
    view.WaitForScan();

    view.WaitForScan();
    view.findChild<QCheckBox*>(QStringLiteral("selectAll"))->click();
    QVERIFY(view.Model()->setData(view.Model()->index(5, 0), Qt::Unchecked, Qt::CheckStateRole));
    calc->click();
    QCOMPARE(figure->text(), QStringLiteral("200"));
    QCOMPARE(figure->palette().color(QPalette::Text), QColor(0, 0, 200));

    QVERIFY(view.Model()->setData(view.Model()->index(5, 0), Qt::Checked, Qt::CheckStateRole));
    calc->click();
    QCOMPARE(figure->text(), QStringLiteral("201"));
    QCOMPARE(figure->palette().color(QPalette::Text), QColor(200, 0, 0));
  }

  void headerClicksSortPerColumnAndCarryTicksAndHighlight() {
    Scanned s;
    QVERIFY(s.view.Model()->setData(s.view.Model()->index(s.RowOf("7"), 0), Qt::Checked, Qt::CheckStateRole));
    const std::size_t row7[] = {static_cast<std::size_t>(s.RowOf("7"))};
    s.view.SelectRows(row7);
    const auto highlightedIds = [&s] {
      QStringList ids;
      for (const QModelIndex& index : s.view.SongList()->selectionModel()->selectedRows())
        ids << s.Cell(index.row(), vx::kColId);
      return ids;
    };

    s.ClickHeader(vx::kColId);
    QCOMPARE(s.Ids(), (QStringList{"30", "12", "7"}));
    QCOMPARE(highlightedIds(), QStringList{"7"});
    s.ClickHeader(vx::kColTitle);  // its own first click: descending by GBK bytes
    QCOMPARE(s.Ids(), (QStringList{"30", "7", "12"}));
    QCOMPARE(highlightedIds(), QStringList{"7"});
    s.ClickHeader(vx::kColId);  // the second click on 编号 ascends, whatever came between
    QCOMPARE(s.Ids(), (QStringList{"7", "12", "30"}));
    QCOMPARE(highlightedIds(), QStringList{"7"});
    QVERIFY(s.Ticked(s.RowOf("7")));
    QVERIFY(!s.Ticked(s.RowOf("12")) && !s.Ticked(s.RowOf("30")));
  }

  void tickHeaderTogglesOnlyTheHighlightedRows() {
    Scanned s;
    QVERIFY(s.view.Model()->setData(s.view.Model()->index(0, 0), Qt::Checked, Qt::CheckStateRole));
    const std::size_t rows[] = {0, 1};
    s.view.SelectRows(rows);
    s.ClickHeader(vx::kColTick);
    QVERIFY(s.Ticked(0) && s.Ticked(1) && !s.Ticked(2));
    s.ClickHeader(vx::kColTick);
    QVERIFY(!s.Ticked(0) && !s.Ticked(1) && !s.Ticked(2));
  }

  void statusHeaderReordersNothingButRedisplaysTheHeldTexts() {
    Scanned s;
    s.ClickRow(1);
    QCOMPARE(s.Edit("titleEdit")->text(), QStringLiteral("A"));
    s.Edit("titleEdit")->setText(QStringLiteral("typed"));
    s.ClickHeader(vx::kColStatus);
    QCOMPARE(s.Ids(), (QStringList{"7", "12", "30"}));
    QCOMPARE(s.Edit("titleEdit")->text(), QStringLiteral("A"));
  }

  void headerClickOnAnEmptyTableKeepsWhatWasTyped() {
    StartFolder empty;
    ScriptedInteraction ui;
    CTRAKLYView view(empty.Path(), ui);
    auto* title = view.findChild<QLineEdit*>(QStringLiteral("titleEdit"));
    title->setText(QStringLiteral("typed"));
    emit view.SongList()->horizontalHeader()->sectionClicked(vx::kColId);
    QCOMPARE(title->text(), QStringLiteral("typed"));
  }

  void rowClickLoadsTheEditorAndStretchesTheCoverOverTheFrame() {
    Scanned s;
    s.ClickRow(2);
    QCOMPARE(s.Edit("titleEdit")->text(), QStringLiteral("中文"));
    QCOMPARE(s.Edit("easyEdit")->text(), QStringLiteral("5"));
    QCOMPARE(s.Edit("normalEdit")->text(), QStringLiteral("5"));
    QCOMPARE(s.Edit("hardEdit")->text(), QStringLiteral("9"));
    QCOMPARE(s.view.EditTarget()->songId, 30);
    QCOMPARE(s.view.CoverPreview()->Cover(), Decoded(s.recipes[2].cover));

    // The 64 x 32 picture fills the whole 240 x 180 frame: its corners hold the picture's corners.
    const CoverFrame* frame = s.view.CoverPreview();
    QCOMPARE(frame->size(), QSize(240, 180));
    const QImage shown = const_cast<CoverFrame*>(frame)->grab().toImage();
    const QImage cover = frame->Cover();
    const QRect inside = frame->contentsRect();
    const auto near = [](QColor a, QColor b) {
      return std::abs(a.red() - b.red()) < 40 && std::abs(a.green() - b.green()) < 40 &&
             std::abs(a.blue() - b.blue()) < 40;
    };
    QVERIFY(near(shown.pixelColor(inside.topLeft() + QPoint(2, 2)), cover.pixelColor(0, 0)));
    QVERIFY(near(shown.pixelColor(inside.bottomRight() - QPoint(2, 2)), cover.pixelColor(63, 31)));
  }

  void clickWithTwoRowsHighlightedChangesNeitherEditorNorCover() {
    Scanned s;
    s.ClickRow(0);
    const std::size_t rows[] = {1, 2};
    s.view.SelectRows(rows);
    s.view.OnClickSongList();
    QCOMPARE(s.Edit("titleEdit")->text(), QStringLiteral("B"));
    QCOMPARE(s.view.EditTarget()->songId, 7);
    QCOMPARE(s.view.CoverPreview()->Cover(), Decoded(s.recipes[0].cover));
  }

  void aCoverFailingTheMarkerTestLeavesTheLastGoodOne() {
    Scanned s;
    ChartSpec broken = Song("X", 1, 9);
    broken.cover[0] = 0xD8;
    s.folder.AddSong(40, broken);
    s.view.OnScan();
    s.view.WaitForScan();
    s.ClickRow(0);
    s.ClickRow(3);
    QCOMPARE(s.view.CoverPreview()->Cover(), Decoded(s.recipes[0].cover));
    QCOMPARE(s.Edit("titleEdit")->text(), QStringLiteral("X"));
  }

  // The save writes the song the person has in view: keys load the editor as a click does, and typed
  // texts are never left behind without a question.
  void arrowKeysLoadTheEditorAndUnsavedTextsAreAskedAbout() {
    Scanned s;
    using Answer = vx::SaveChangesAnswer;
    QTableView* list = s.view.SongList();
    const auto key = [&](Qt::Key k) {
      list->setFocus();
      QTest::keyClick(list, k);
    };
    s.ClickRow(0);
    key(Qt::Key_Down);
    QCOMPARE(s.view.EditTarget()->songId, 12);
    QCOMPARE(s.Edit("titleEdit")->text(), QStringLiteral("A"));
    QCOMPARE(s.Edit("easyEdit")->text(), QStringLiteral("9"));
    QCOMPARE(s.view.CoverPreview()->Cover(), Decoded(s.recipes[1].cover));
    QVERIFY(s.ui.events.empty());  // nothing typed, nothing asked

    // 取消: the highlight goes back to the song in the editor, which keeps what was typed.
    const vx::Bytes before12 = s.folder.ChartBytes(12), before30 = s.folder.ChartBytes(30);
    s.Edit("hardEdit")->setText(QStringLiteral("13"));
    key(Qt::Key_Down);
    QCOMPARE(s.ui.Count(ScriptedInteraction::Event::kSaveChanges), std::size_t{1});
    QCOMPARE(vx::Utf8FromGbk(s.ui.events.back().text), std::string("编号12 A的修改还没有保存,要保存吗?"));
    QCOMPARE(list->currentIndex().row(), 1);
    QCOMPARE(s.Edit("hardEdit")->text(), QStringLiteral("13"));
    QCOMPARE(s.folder.ChartBytes(12), before12);

    // 保存: written without a second question, then the next song is loaded.
    s.ui.saveChangesAnswers = {Answer::kSave};
    key(Qt::Key_Down);
    QCOMPARE(s.ui.Count(ScriptedInteraction::Event::kOkCancel), std::size_t{0});
    QCOMPARE(int{vx::ParseChartHeader(s.folder.ChartBytes(12)).levelHard}, 13);
    QCOMPARE(s.view.EditTarget()->songId, 30);
    QCOMPARE(s.Edit("titleEdit")->text(), QStringLiteral("中文"));

    // 不保存: the typed title is dropped, the click goes through.
    s.Edit("titleEdit")->setText(QStringLiteral("不要"));
    s.ui.saveChangesAnswers = {Answer::kDiscard};
    s.ClickRow(0);
    QCOMPARE(s.folder.ChartBytes(30), before30);
    QCOMPARE(s.Edit("titleEdit")->text(), QStringLiteral("B"));

    // Home and End load too; Enter in a field saves, and the question names the song.
    key(Qt::Key_End);
    QCOMPARE(s.view.EditTarget()->songId, 30);
    s.Edit("easyEdit")->setText(QStringLiteral("8"));
    s.ui.okCancelAnswers = {true};
    s.ui.events.clear();
    QTest::keyClick(s.Edit("easyEdit"), Qt::Key_Return);
    QCOMPARE(vx::Utf8FromGbk(s.ui.events.front().text), std::string("确定修改编号30 中文吗?"));
    QCOMPARE(int{vx::ParseChartHeader(s.folder.ChartBytes(30)).levelEasy}, 8);
  }

  void saveSaysWhatIsMissingBeforeWritingAnything() {
    StartFolder empty;
    ScriptedInteraction emptyUi;
    CTRAKLYView emptyView(empty.Path(), emptyUi);
    emptyView.findChild<QPushButton*>(QStringLiteral("save"))->click();
    QCOMPARE(emptyUi.Messages(), (std::vector<std::string>{"列表为空,请先扫描"}));
    QCOMPARE(emptyUi.Count(ScriptedInteraction::Event::kOkCancel), std::size_t{0});

    Scanned s;
    const vx::Bytes before = s.folder.ChartBytes(7);
    s.ui.okCancelAnswers = {true};
    s.view.findChild<QPushButton*>(QStringLiteral("save"))->click();
    QCOMPARE(s.ui.Messages(), (std::vector<std::string>{"请先选定一首歌"}));
    QCOMPARE(s.ui.Captions(), (std::vector<std::string>{"VX歌曲整理器"}));
    QCOMPARE(s.ui.Count(ScriptedInteraction::Event::kOkCancel), std::size_t{0});  // nothing to ask about
    QCOMPARE(s.folder.ChartBytes(7), before);
  }

  void confirmedSaveWritesTheClickedSongEvenAfterASort() {
    Scanned s;
    s.ClickRow(0);              // song 7
    s.ClickHeader(vx::kColId);  // 7 moves to the bottom, 30 takes row 0
    const vx::Bytes before7 = s.folder.ChartBytes(7);
    const vx::Bytes before30 = s.folder.ChartBytes(30);
    s.Edit("titleEdit")->setText(QStringLiteral("新的歌"));
    s.Edit("easyEdit")->setText(QStringLiteral("007"));
    s.Edit("normalEdit")->setText(QString());
    s.Edit("hardEdit")->setText(QStringLiteral("65535"));

    s.ui.okCancelAnswers = {false};
    s.view.findChild<QPushButton*>(QStringLiteral("save"))->click();
    QCOMPARE(s.folder.ChartBytes(7), before7);

    s.ui.okCancelAnswers = {true};
    s.view.findChild<QPushButton*>(QStringLiteral("save"))->click();
    QCOMPARE(s.ui.Messages(), (std::vector<std::string>{"OK"}));
    QCOMPARE(vx::Utf8FromGbk(s.ui.events.front().text), std::string("确定修改编号7 B吗?"));

    vx::Bytes expected = before7;
    const std::string title = vx::Gbk("新的歌");
    std::fill(expected.begin() + 0x6C, expected.begin() + 0x6C + 32, 0);
    std::copy(title.begin(), title.end(), expected.begin() + 0x6C);
    const std::uint8_t levels[] = {7, 0, 0, 0, 0xFF, 0xFF};
    std::copy(std::begin(levels), std::end(levels), expected.begin() + 0x14);
    QCOMPARE(s.folder.ChartBytes(7), expected);
    QCOMPARE(s.folder.ChartBytes(30), before30);

    const int row7 = s.RowOf("7");
    QCOMPARE(row7, 2);
    QCOMPARE(s.Cell(row7, vx::kColTitle), QStringLiteral("新的歌"));
    QCOMPARE(s.Cell(row7, vx::kColEasy), QStringLiteral("007"));
    QCOMPARE(s.Cell(0, vx::kColTitle), QStringLiteral("中文"));
  }

  void saveRefusesAnUnstorableTitleAndWritesNothing() {
    Scanned s;
    s.ClickRow(1);
    const vx::Bytes before = s.folder.ChartBytes(12);
    s.Edit("titleEdit")->setText(QStringLiteral("一二三四五六七八九十一二三四五六"));
    s.ui.okCancelAnswers = {true};
    s.view.findChild<QPushButton*>(QStringLiteral("save"))->click();
    QCOMPARE(s.ui.Messages(), (std::vector<std::string>{"歌曲名字太长,最多31个字节(15个汉字)"}));
    QCOMPARE(s.folder.ChartBytes(12), before);
    QCOMPARE(s.Cell(1, vx::kColTitle), QStringLiteral("A"));
  }

  void aRescanForgetsTheSongInTheEditorSoASaveCannotReachAnotherFolder() {
    Scanned s;
    s.ClickRow(0);  // song 7 of this MUSIC folder
    // The person points the settings at another library that also has a song 7, and scans it.
    const std::string other = s.folder.Path() + "/other";
    vx::fixtures::WriteSong(other, 7, Song("别的", 1, 9));
    vx::fixtures::WriteFile(s.folder.Settings(), vx::fixtures::BuildSettingsFile(other, {}, {}));
    s.view.OnScan();
    s.view.WaitForScan();
    const vx::Bytes mine = s.folder.ChartBytes(7), theirs = *vx::ReadWholeFile(vx::ChartPath(other, 7));
    s.Edit("titleEdit")->setText(QStringLiteral("改了"));
    s.ui.okCancelAnswers = {true};
    s.view.findChild<QPushButton*>(QStringLiteral("save"))->click();
    QCOMPARE(s.ui.Messages(), (std::vector<std::string>{"请先选定一首歌"}));
    QCOMPARE(s.folder.ChartBytes(7), mine);
    QCOMPARE(*vx::ReadWholeFile(vx::ChartPath(other, 7)), theirs);
    QCOMPARE(s.Cell(0, vx::kColTitle), QStringLiteral("别的"));
  }

  void saveChecksTheLevelsBeforeAskingAndRefusesAReadOnlyChart() {
    Scanned s;
    s.ClickRow(1);  // song 12
    const vx::Bytes before = s.folder.ChartBytes(12);
    const QString hardBefore = s.Cell(1, vx::kColHard);
    s.Edit("hardEdit")->setText(QStringLiteral("70000"));
    s.view.findChild<QPushButton*>(QStringLiteral("save"))->click();
    QCOMPARE(s.ui.Messages(), (std::vector<std::string>{"等级只能是0到65535之间的数,这一项超出了范围:困难"}));
    QCOMPARE(s.ui.Count(ScriptedInteraction::Event::kOkCancel), std::size_t{0});

#ifndef _WIN32
    s.ui.events.clear();
    s.Edit("hardEdit")->setText(QStringLiteral("7"));
    std::filesystem::permissions(s.folder.Chart(12), std::filesystem::perms::owner_read);
    s.ui.okCancelAnswers = {true};
    s.view.findChild<QPushButton*>(QStringLiteral("save"))->click();
    QCOMPARE(s.ui.Messages(), (std::vector<std::string>{"歌曲文件是只读的,没有修改:" + s.folder.Chart(12)}));
#endif
    QCOMPARE(s.folder.ChartBytes(12), before);
    QCOMPARE(s.Cell(1, vx::kColHard), hardBefore);
  }
};

QTEST_MAIN(LibraryViewTest)
#include "library_view_test.moc"
