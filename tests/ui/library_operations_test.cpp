// The library operations of the menu and toolbar, triggered through the frame's actions as a person
// would, with the scripted Interaction answering the dialogs: what each writes, and how the table, the
// count beside "此文件夹歌曲数:", the highlight and the preview follow.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>
#include <QtTest>
#include <filesystem>

#include "core/text/gbk.h"
#include "core/text/native_path.h"
#include "tests/support/scripted_interaction.h"
#include "tests/support/unreadable_file.h"
#include "tests/ui/ui_test_support.h"
#include "ui/app/commands.h"
#include "ui/app/main_frame.h"
#include "ui/app/qt_interaction.h"
#include "ui/library/cover_frame.h"
#include "ui/library/song_table_model.h"
#include "ui/library/trakly_view.h"

using vx::fixtures::ChartSpec;
using vx::fixtures::ScriptedInteraction;
using namespace vx::ui;
using namespace vx::ui::testing;

namespace {

ChartSpec Song(const char* utf8Title, unsigned seed) {
  ChartSpec recipe;
  recipe.title = vx::Gbk(utf8Title);
  recipe.cover = vx::fixtures::MakeJpeg(32, 16, seed);
  return recipe;
}

std::string Text(const vx::Bytes& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

// A frame over songs 7 "星之海" (no music file), 12 "Alpha" and 30 "Beta", scanned, with the move-target
// and image folders made.
struct Scanned {
  StartFolder folder;
  ScriptedInteraction ui;
  std::unique_ptr<CMainFrame> frame;

  Scanned() {
    folder.AddSong(7, Song("星之海", 1), /*withMusic=*/false);
    folder.AddSong(12, Song("Alpha", 2));
    folder.AddSong(30, Song("Beta", 3));
    std::filesystem::create_directories(folder.Path() + "/moved");
    std::filesystem::create_directories(folder.Path() + "/images");
    frame = std::make_unique<CMainFrame>(folder.Path(), ui);
    frame->show();
    (void)QTest::qWaitForWindowExposed(frame.get());
    View()->OnScan();
    View()->WaitForScan();
  }
  CTRAKLYView* View() const { return frame->View(); }
  void Run(int command) const { frame->Action(command)->trigger(); }
  QString StatusBar() const { return frame->statusBar()->currentMessage(); }
  int RowOf(int id) const {
    const auto row = View()->Table().FindId(id);
    return row ? static_cast<int>(*row) : -1;
  }
  QList<int> Ids() const {
    QList<int> ids;
    for (int r = 0; r < View()->Model()->rowCount(); ++r)
      ids << View()->Model()->index(r, vx::kColId).data().toInt();
    return ids;
  }
  bool Ticked(int id) const {
    return View()->Model()->index(RowOf(id), 0).data(Qt::CheckStateRole).toInt() == Qt::Checked;
  }
  void Tick(int id) const {
    View()->Model()->setData(View()->Model()->index(RowOf(id), 0), Qt::Checked, Qt::CheckStateRole);
  }
  QString Status(int id) const { return View()->Model()->index(RowOf(id), vx::kColStatus).data().toString(); }
  QList<int> HighlightedIds() const {
    QList<int> ids;
    for (const QModelIndex& index : View()->SongList()->selectionModel()->selectedRows())
      ids << View()->Model()->index(index.row(), vx::kColId).data().toInt();
    std::sort(ids.begin(), ids.end());
    return ids;
  }
  void Highlight(int id) const {
    const std::array<std::size_t, 1> rows = {static_cast<std::size_t>(RowOf(id))};
    View()->SelectRows(rows);
  }
  QString FolderSongs() const { return View()->findChild<QLineEdit*>(QStringLiteral("folderSongs"))->text(); }
  QLineEdit* TitleEdit() const { return View()->findChild<QLineEdit*>(QStringLiteral("titleEdit")); }
};

}  // namespace

class LibraryOperationsTest : public QObject {
  Q_OBJECT

 private slots:
  void textListsGoToTheChosenFileAndBesideTheCharts() {
    Scanned s;
    s.Tick(12);
    s.Tick(30);
    const std::string list = s.folder.Path() + "/songs.txt";
    s.ui.saveFileAnswers.push_back(list);
    s.Run(kCmdTextList);
    const vx::Bytes written = vx::ReadWholeFile(list).value_or(vx::Bytes{});
    // The header line, then a line break and a 112-byte line per ticked song.
    QCOMPARE(written.size(), std::size_t{114 + 2 * (2 + 112)});
    QVERIFY(Text(written).find("\r\n12        Alpha") != std::string::npos);
    QVERIFY(Text(written).find("\r\n30        Beta") != std::string::npos);
    const auto& request = s.ui.events.back().request;
    QCOMPARE(request.defaultExtension, std::string("txt"));
    QCOMPARE(request.filters.size(), std::size_t{2});
    QCOMPARE(s.StatusBar(), QStringLiteral("已保存文本列表:") + QString::fromStdString(list));

    s.Run(kCmdBatchText);
    QCOMPARE(s.StatusBar(), QStringLiteral("已生成2个文本文件:") + QString::fromStdString(s.folder.Music()));
    QCOMPARE(Text(vx::ReadWholeFile(s.folder.Music() + "/vxma12Alpha.txt").value_or(vx::Bytes{})),
             std::string("Alpha"));
    QVERIFY(vx::FileExists(s.folder.Music() + "/vxma30Beta.txt"));
    QVERIFY(!vx::FileExists(s.folder.Music() + "/vxma7" + vx::Gbk("星之海") + ".txt"));
    QCOMPARE(s.ui.Messages().back(), std::string("生成完毕"));
  }

  void statusMarksShowInTheirColumnAndKeepWhatWasTyped() {
    Scanned s;
    s.Tick(7);
    s.Tick(12);
    s.Highlight(30);  // the highlight plays no part
    s.TitleEdit()->setText(QStringLiteral("typed, not saved"));
    QSignalSpy changed(s.View()->Model(), &QAbstractItemModel::dataChanged);

    s.Run(kCmdStatusWeekly);
    QCOMPARE(s.Status(7), QStringLiteral("一周更新"));
    QCOMPARE(s.Status(12), QStringLiteral("一周更新"));
    QCOMPARE(s.Status(30), QString());
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.front().at(0).toModelIndex().column(), int{vx::kColStatus});
    QCOMPARE(changed.front().at(1).toModelIndex().row(), 2);
    QCOMPARE(s.TitleEdit()->text(), QStringLiteral("typed, not saved"));

    s.Run(kCmdStatusPopular);
    QCOMPARE(s.Status(12), QStringLiteral("最受欢迎"));
    s.Run(kCmdStatusNewest);
    QCOMPARE(s.Status(7), QStringLiteral("最新更新"));
    s.Run(kCmdStatusClear);
    QCOMPARE(s.Status(7), QString());
    QCOMPARE(s.Status(12), QString());
    QVERIFY(s.ui.Messages().empty());
  }

  void gameListCarriesTheTickedChartsAndTheirMarks() {
    Scanned s;
    s.Tick(12);
    s.Tick(30);
    s.Run(kCmdStatusPopular);
    s.View()->Model()->setData(s.View()->Model()->index(s.RowOf(12), 0), Qt::Unchecked, Qt::CheckStateRole);
    s.Tick(7);
    const std::string list = s.folder.Path() + "/list.SML";
    s.ui.saveFileAnswers.push_back(list);

    s.Run(kCmdGameList);

    const vx::Bytes written = vx::ReadWholeFile(list).value_or(vx::Bytes{});
    // Songs 7 and 30 in table order; only 30 is ticked and marked (12's mark stays out with its tick).
    QCOMPARE(written.size(), std::size_t{8 + 300 * 2 + 16});
    QCOMPARE(written[0], std::uint8_t{2});
    const vx::Bytes chart7 = s.folder.ChartBytes(7);
    const vx::Bytes chart30 = s.folder.ChartBytes(30);
    QVERIFY(std::equal(chart7.begin(), chart7.begin() + 300, written.begin() + 4));
    QVERIFY(std::equal(chart30.begin(), chart30.begin() + 300, written.begin() + 304));
    const vx::Bytes status(written.begin() + 604, written.end());
    QCOMPARE(status, (vx::Bytes{1, 0, 0, 0, 30, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0}));
    QCOMPARE(s.ui.events.back().request.defaultExtension, std::string("dat"));
    QVERIFY(s.ui.Messages().empty());
    QCOMPARE(s.StatusBar(), QStringLiteral("已保存游戏歌曲列表:") + QString::fromStdString(list));
  }

  void deletingTakesOutTheRowsAndKeepsTheRestAsTheyWere() {
    Scanned s;
    s.Tick(7);
    s.Tick(12);
    s.Highlight(30);
    QCOMPARE(s.FolderSongs(), QStringLiteral("3"));

    // Cancelled at the question: nothing goes.
    s.Run(kCmdDeleteSongs);
    QCOMPARE(s.Ids(), (QList<int>{7, 12, 30}));
    QVERIFY(s.Ticked(7) && s.Ticked(12));
    QCOMPARE(s.ui.Count(ScriptedInteraction::Event::kTrash), std::size_t{0});
    QVERIFY(vx::Utf8FromGbk(s.ui.events.back().text).find("2首歌曲(共3个文件)") != std::string::npos);

    s.TitleEdit()->setText(QStringLiteral("typed"));
    s.ui.okCancelAnswers.push_back(true);
    s.Run(kCmdDeleteSongs);
    QCOMPARE(s.Ids(), QList<int>{30});
    QCOMPARE(s.FolderSongs(), QStringLiteral("1"));
    QCOMPARE(s.HighlightedIds(), QList<int>{30});
    QVERIFY(!s.Ticked(30));
    QVERIFY(!vx::FileExists(s.folder.Chart(7)) && !vx::FileExists(s.folder.Chart(12)));
    QVERIFY(vx::FileExists(s.folder.Chart(30)));
    QCOMPARE(s.TitleEdit()->text(), QStringLiteral("typed"));
  }

  void movingLeavesTheSkippedSongTickedInItsRow() {
    Scanned s;
    s.Tick(7);
    s.Tick(12);
    s.Tick(30);
    s.Highlight(30);
    // A song 12 already waits in the target; the person keeps it, so song 12 stays where it is.
    vx::fixtures::WriteFile(vx::ChartPath(s.folder.Path() + "/moved", 12), vx::Bytes{1, 2, 3});
    s.ui.okCancelAnswers.push_back(true);
    s.ui.clashAnswers = {vx::ClashAnswer::kSkip};

    s.Run(kCmdMoveSongs);

    QCOMPARE(s.StatusBar(), QStringLiteral("已转移2首,跳过1首"));
    QCOMPARE(s.Ids(), QList<int>{12});
    QVERIFY(s.Ticked(12));
    QCOMPARE(s.FolderSongs(), QStringLiteral("1"));
    QVERIFY(s.HighlightedIds().isEmpty());  // its song left with the rest
    QVERIFY(vx::FileExists(vx::ChartPath(s.folder.Path() + "/moved", 30)));
    QVERIFY(vx::FileExists(vx::ChartPath(s.folder.Path() + "/moved", 7)));
    QVERIFY(vx::FileExists(s.folder.Chart(12)));
    // The song that stayed can still be saved: the edit target follows the song, not a position.
    s.Highlight(12);
    s.View()->OnClickSongList();
    QCOMPARE(s.TitleEdit()->text(), QStringLiteral("Alpha"));
  }

  // Song 12's chart became unreadable after the scan (another program holds it, or it is no longer ours
  // to read): renumber and delete say so and name the file, and the song stays whole.
  void aSongWhoseChartCannotBeReadIsNamedWithTheReason() {
    if (!vx::fixtures::UnreadableFile::Possible()) QSKIP("root reads every file");
    Scanned s;
    const vx::fixtures::UnreadableFile held(vx::NativePath(s.folder.Chart(12)));
    const std::string reason = vx::fixtures::UnreadableFile::ChartReason("vxma12.vxn");

    s.Highlight(12);
    s.Run(kCmdRenumber);
    QCOMPARE(s.ui.Count(ScriptedInteraction::Event::kNumber), std::size_t{0});
    QCOMPARE(s.ui.Messages().back(), reason);

    s.Tick(12);
    s.Tick(30);
    s.ui.okCancelAnswers.push_back(true);
    s.Run(kCmdDeleteSongs);
    QCOMPARE(s.Ids(), (QList<int>{7, 12}));
    QVERIFY(vx::FileExists(s.folder.Chart(12)) && vx::FileExists(vx::MusicPath(s.folder.Music(), 12)));
    const std::vector<std::string> said = s.ui.Messages();
    QVERIFY(std::any_of(said.begin(), said.end(), [&](const std::string& m) {
      return m.find("编号12 Alpha:" + reason) != std::string::npos;
    }));
  }

  void replayedRemovalsTakeTheSameRowsAsTheCore() {
    // Ticked positions 2, 5 and 6 are removed at 2, 4 and 4: two runs, the second a block of two.
    vx::SongTable table;
    for (int id = 0; id < 8; ++id) {
      vx::SongRow row;
      row.cells[vx::kColId] = std::to_string(id);
      table.Append(row);
    }
    SongTableModel model(table);
    QTableView view;
    view.setModel(&model);
    view.selectionModel()->select(model.index(3, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    view.selectionModel()->select(model.index(7, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);

    model.ReplayRemovals({2, 4, 4});

    QStringList ids;
    for (int r = 0; r < model.rowCount(); ++r) ids << model.index(r, vx::kColId).data().toString();
    QCOMPARE(ids, (QStringList{"0", "1", "3", "4", "7"}));
    QStringList highlighted;
    for (const QModelIndex& index : view.selectionModel()->selectedRows())
      highlighted << model.index(index.row(), vx::kColId).data().toString();
    highlighted.sort();
    QCOMPARE(highlighted, (QStringList{"3", "7"}));
  }

  void coversGoOutToTheImageFolderAndANewOneComesIn() {
    Scanned s;
    s.Tick(12);
    s.Tick(30);
    s.Run(kCmdExportCovers);
    QCOMPARE(vx::ReadWholeFile(s.folder.Path() + "/images/Alpha.jpg").value_or(vx::Bytes{}),
             vx::fixtures::MakeJpeg(32, 16, 2));
    QCOMPARE(vx::ReadWholeFile(s.folder.Path() + "/images/Beta.jpg").value_or(vx::Bytes{}),
             vx::fixtures::MakeJpeg(32, 16, 3));
    QCOMPARE(s.ui.Messages().back(), std::string("完成^_^"));

    // Song 12's cover is on show; importing into it shows the new one at once.
    s.View()->Model()->setData(s.View()->Model()->index(s.RowOf(30), 0), Qt::Unchecked, Qt::CheckStateRole);
    s.Highlight(12);
    s.View()->OnClickSongList();
    QCOMPARE(s.View()->CoverPreview()->Cover().size(), QSize(32, 16));
    const vx::Bytes jpeg = vx::fixtures::MakeJpeg(64, 48, 9);
    const std::string picked = s.folder.Path() + "/new.jpg";
    vx::fixtures::WriteFile(picked, jpeg);
    s.ui.openFileAnswers.push_back(picked);
    s.Run(kCmdImportCover);
    const vx::Bytes chart = s.folder.ChartBytes(12);
    QVERIFY(chart.size() > jpeg.size());
    QVERIFY(std::equal(jpeg.begin(), jpeg.end(), chart.end() - static_cast<std::ptrdiff_t>(jpeg.size())));
    QCOMPARE(s.View()->CoverPreview()->Cover().size(), QSize(64, 48));
    QCOMPARE(s.ui.events.back().request.defaultExtension, std::string("jpg"));
  }

  void fileChoosersUseTheFiltersAndExtensionsTheyAreGiven() {
    vx::FileDialogRequest request;
    request.filters = {{vx::Gbk("VX列表文件(*.dat)"), "*.dat"},
                       {vx::Gbk(" 列表文件(*.SML)"), "*.SML"},
                       {vx::Gbk("全部"), "*.*"}};
    request.defaultExtension = "dat";
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    SetUpFileDialog(dialog, request);
    // Qt drops the leading blank of the second description; the patterns are the core's.
    QCOMPARE(dialog.nameFilters(),
             (QStringList{QStringLiteral("VX列表文件(*.dat)"), QStringLiteral("列表文件(*.SML)"),
                          QStringLiteral("全部 (*.*)")}));
    QCOMPARE(dialog.defaultSuffix(), QStringLiteral("dat"));
    // The .SML entry's extension replaces the default; "*.*" names none and falls back.
    emit dialog.filterSelected(dialog.nameFilters().at(1));
    QCOMPARE(dialog.defaultSuffix(), QStringLiteral("SML"));
    emit dialog.filterSelected(dialog.nameFilters().at(2));
    QCOMPARE(dialog.defaultSuffix(), QStringLiteral("dat"));
  }

  void theWindowsQuestionsAnswerAsClicked() {
    QtInteraction ui;
    const auto click = [](const QString& text) {
      WhenModalOpens([text](QWidget* modal) {
        for (QPushButton* button : modal->findChildren<QPushButton*>())
          if (button->text() == text) button->click();
      });
    };
    click(QStringLiteral("取消"));
    QVERIFY(!ui.AskOkCancel(vx::Gbk("确定把2首歌曲(共3个文件)移到回收站吗?"), vx::Gbk("VX歌曲整理器")));
    click(QStringLiteral("确定"));
    QVERIFY(ui.AskOkCancel(vx::Gbk("确定把2首歌曲(共3个文件)移到回收站吗?"), vx::Gbk("VX歌曲整理器")));
    const std::vector<vx::ClashAnswer> move = {vx::ClashAnswer::kReplace, vx::ClashAnswer::kSkip,
                                               vx::ClashAnswer::kStop};
    click(QStringLiteral("跳过"));
    QCOMPARE(ui.AskClash("/x/vxma12.vxn", move), vx::ClashAnswer::kSkip);
    click(QStringLiteral("替换"));
    QCOMPARE(ui.AskClash("/x/vxma12.vxn", move), vx::ClashAnswer::kReplace);
    // Closing the box is not a yes to anything: the rest of the move stops.
    WhenModalOpens([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); });
    QCOMPARE(ui.AskClash("/x/vxma12.vxn", move), vx::ClashAnswer::kStop);

    // "对以后的歌曲也这样做" answers the later clashes of the same operation unasked, and no further.
    WhenModalOpens([](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      QCOMPARE(box->checkBox()->text(), QStringLiteral("对以后的歌曲也这样做"));
      box->checkBox()->setChecked(true);
      for (QAbstractButton* button : box->buttons())
        if (button->text() == QStringLiteral("跳过")) button->click();
    });
    QCOMPARE(ui.AskClash("/x/vxma12.vxn", move), vx::ClashAnswer::kSkip);
    bool asked = false;
    WhenModalOpens([&asked](QWidget* modal) { asked = modal != nullptr; });
    QCOMPARE(ui.AskClash("/x/vxma13.vxn", move), vx::ClashAnswer::kSkip);
    QCoreApplication::processEvents();
    QVERIFY(!asked);
    ui.OperationEnded();
    click(QStringLiteral("替换"));
    QCOMPARE(ui.AskClash("/x/vxma14.vxn", move), vx::ClashAnswer::kReplace);

    // A number the check refuses keeps the question open and says why; another is taken.
    QString refusedText;
    WhenModalOpens([&refusedText](QWidget* modal) {
      auto* number = modal->findChild<QSpinBox*>(QStringLiteral("number"));
      auto* ok = modal->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
      number->setValue(30);
      ok->click();
      QVERIFY(modal->isVisible());
      refusedText = modal->findChild<QLabel*>(QStringLiteral("refused"))->text();
      number->setValue(31);
      ok->click();
    });
    const auto taken = [](int id) {
      return id == 30 ? vx::Gbk("这个编号已有歌曲:编号30 Beta") : std::string();
    };
    QCOMPARE(ui.AskNumber(vx::Gbk("编号12 Alpha"), vx::Gbk("更改编号"), 0, 0, 4999, taken),
             std::optional<int>(31));
    QCOMPARE(refusedText, QStringLiteral("这个编号已有歌曲:编号30 Beta"));

    // The game list's chooser: the .SML entry picked, a name typed without extension.
    QTemporaryDir folder;
    WhenModalOpens([&folder](QWidget* modal) {
      auto* dialog = qobject_cast<QFileDialog*>(modal);
      QVERIFY(dialog);
      auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
      QVERIFY(types);
      QTest::keyClick(types, Qt::Key_Down);  // as a person picks the second entry
      dialog->setDirectory(folder.path());
      dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("列表"));
      QMetaObject::invokeMethod(dialog, "accept");
    });
    vx::FileDialogRequest request;
    request.filters = {{vx::Gbk("VX列表文件(*.dat)"), "*.dat"}, {vx::Gbk(" 列表文件(*.SML)"), "*.SML"}};
    request.defaultExtension = "dat";
    const auto chosen = ui.ChooseSaveFile(request);
    QVERIFY(chosen);
    // Spelled as the platform spells paths: with backslashes on Windows.
    const QString expected = QDir::toNativeSeparators(folder.filePath(QStringLiteral("列表.SML")));
    QCOMPARE(vx::Utf8FromGbk(*chosen), expected.toStdString());
  }
};

QTEST_MAIN(LibraryOperationsTest)
#include "library_operations_test.moc"
