// The main window and its dialogs as a person meets them at start-up: title, menus, toolbar, prompts,
// the opening size, the folder settings round trip into REC.re, and the registration switches.

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWidgetAction>
#include <QtTest>

#include "core/settings/settings_file.h"
#include "core/text/gbk.h"
#include "tests/support/scripted_interaction.h"
#include "tests/ui/ui_test_support.h"
#include "ui/app/about_dlg.h"
#include "ui/app/commands.h"
#include "ui/app/main_frame.h"
#include "ui/app/qt_interaction.h"
#include "ui/app/trakly_app.h"
#include "ui/library/folder_settings_dlg.h"
#include "ui/library/trakly_view.h"

using vx::fixtures::ScriptedInteraction;
using namespace vx::ui;
using namespace vx::ui::testing;

namespace {

// Points the program's menu folder (the applications folder, or the Start menu's Programs folder on
// Windows) into `home` through the environment a desktop sets, and gives where the entry must appear.
QString RedirectMenuEntry(const QTemporaryDir& home, QProcessEnvironment& env) {
#ifdef _WIN32
  env.insert(QStringLiteral("APPDATA"), home.path());
  return home.filePath(QStringLiteral("Microsoft/Windows/Start Menu/Programs/VX歌曲整理器.lnk"));
#else
  env.insert(QStringLiteral("XDG_DATA_HOME"), home.path());
  return home.filePath(QStringLiteral("applications/vxorganizer.desktop"));
#endif
}

QList<int> ToolbarCommands(QToolBar* toolbar) {
  QList<int> ids;
  for (QAction* action : toolbar->actions()) {
    if (qobject_cast<QWidgetAction*>(action)) continue;  // the search field and its spacer are no commands
    ids << (action->isSeparator() ? 0 : action->data().toInt());
  }
  return ids;
}

}  // namespace

class FrameTest : public QObject {
  Q_OBJECT

 private slots:
  void startUpShowsTitleMenusToolbarAndPromptsAtTheFormsSize() {
    QTemporaryDir start;
    ScriptedInteraction ui;
    CMainFrame frame(start.path().toStdString(), ui);

    QCOMPARE(frame.windowTitle(), QStringLiteral("VX歌曲整理器"));
    QCOMPARE(frame.size(), QSize(922, 538));
    QCOMPARE(frame.minimumSize(), QSize(922, 538));
    QCOMPARE(frame.maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    QVERIFY(frame.View()->width() <= 922);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QCOMPARE(frame.pos(), QPoint(screen.width() / 17, screen.height() / 15));

    const QStringList expectedMenus = {"文件(&F)", "查看(&V)", "文本操作", "整理操作",
                                       "歌曲图片", "状态设定", "其他功能", "帮助(&H)"};
    QStringList menus;
    QStringList items;
    for (QAction* menu : frame.menuBar()->actions()) {
      menus << menu->text();
      for (QAction* item : menu->menu()->actions())
        items << (item->isSeparator() ? QStringLiteral("-") : item->text() + u':' + item->data().toString());
    }
    QCOMPARE(menus, expectedMenus);
    QCOMPARE(items, (QStringList{"打开(&O)...:57601",
                                 "目录设置:32771",
                                 "-",
                                 "退出(&X):57665",
                                 "工具栏(&T):59392",
                                 "状态栏(&S):59393",
                                 "生成文本列表:32772",
                                 "批量文本:32773",
                                 "生成游戏歌曲列表:32774",
                                 "删除歌曲:32775",
                                 "转移歌曲:32776",
                                 "-",
                                 "导入歌曲...:32787",
                                 "导入歌曲文件夹...:32788",
                                 "导入歌曲包...:32793",
                                 "更改编号...:32789",
                                 "导出图片:32777",
                                 "导入图片:32778",
                                 "一周更新:32784",
                                 "最新更新:32781",
                                 "最受欢迎:32782",
                                 "撤销状态:32783",
                                 "游戏里的图片:32785",
                                 "检查歌曲库:32786",
                                 "-",
                                 "修改记录...:32790",
                                 "恢复上一次修改:32791",
                                 "记录修改:32792",
                                 "帮助/关于...:57664"}));
    QCOMPARE(frame.Action(kCmdFileOpen)->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    QCOMPARE(frame.Action(kCmdUndoChange)->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
    QVERIFY(frame.Action(kCmdKeepHistory)->isCheckable() && frame.Action(kCmdKeepHistory)->isChecked());

    QCOMPARE(ToolbarCommands(frame.ToolBar()), (QList<int>{32775, 32776, 0, 32774, 32772, 32773, 32777, 32778,
                                                           0, 32784, 32781, 32782, 32783, 0, 32785}));
    QCOMPARE(frame.ToolBar()->iconSize(), QSize(40, 20));
    for (QAction* action : frame.ToolBar()->actions())
      QVERIFY(action->isSeparator() || qobject_cast<QWidgetAction*>(action) || !action->icon().isNull());

    QCOMPARE(frame.Action(kCmdDeleteSongs)->statusTip(), QStringLiteral("删除打勾歌曲"));
    QCOMPARE(frame.Action(kCmdStatusWeekly)->statusTip(), QStringLiteral("把打勾歌曲设置为一周前更新"));
    QCOMPARE(frame.Action(kCmdGameImages)->statusTip(),
             QStringLiteral("游戏中出现的一切图片(预览 导出 +背景LOGO制作)"));
    QCOMPARE(frame.Action(kCmdAbout)->statusTip(), QStringLiteral("显示程序信息，版本号和版权"));
    QCOMPARE(frame.Action(kCmdViewStatusBar)->statusTip(), QStringLiteral("显示或隐藏状态栏"));
    QVERIFY(frame.Action(kCmdFolderSettings)->statusTip().isEmpty());

    // Every command of the menu and toolbar can be chosen.
    for (const int id : {32771, 32772, 32773, 32774, 32775, 32776, 32777, 32778, 32781, 32782, 32783, 32784,
                         32785, 32786, 57601, 57664, 57665, 59392, 59393})
      QVERIFY2(frame.Action(id)->isEnabled(), qPrintable(QString::number(id)));

    QCOMPARE(frame.statusBar()->findChild<QLabel*>(QStringLiteral("idleText"))->text(),
             QStringLiteral("就绪"));
    QStringList indicators;
    for (QLabel* pane : frame.statusBar()->findChildren<QLabel*>(QStringLiteral("indicator")))
      indicators << pane->text();
    QCOMPARE(indicators, (QStringList{"大写", "数字", "滚动"}));

    // The start folder gets a fresh settings file of 769 zero bytes.
    QFile settings(start.filePath(QStringLiteral("REC.re")));
    QVERIFY(settings.open(QIODevice::ReadOnly));
    QCOMPARE(settings.readAll(), QByteArray(769, '\0'));
  }

  // 200% on a 1600 x 1000 screen leaves about 800 x 460 of work area: the window opens inside it, and
  // the form scrolls, so 保存 at its far corner can still be reached.
  void aWorkAreaSmallerThanTheFormGetsAWindowInsideItWhoseFormScrolls() {
    QTemporaryDir start;
    ScriptedInteraction ui;
    CMainFrame frame(start.path().toStdString(), ui);
    const QRect area(0, 0, 800, 460);
    frame.PlaceForFirstStart(QRect(0, 0, 800, 500), area);
    QVERIFY(area.contains(QRect(frame.pos(), frame.size())));
    QVERIFY(frame.minimumWidth() <= 800 && frame.minimumHeight() <= 460);
    auto* scroll = qobject_cast<QScrollArea*>(frame.centralWidget());
    QVERIFY(scroll && scroll->widget() == frame.View());
    frame.show();
    QWidget* save = frame.View()->findChild<QWidget*>(QStringLiteral("save"));
    scroll->ensureWidgetVisible(save);
    const QRect shown(save->mapTo(scroll->viewport(), QPoint(0, 0)), save->size());
    QVERIFY(scroll->viewport()->rect().contains(shown));
  }

  void toolbarButtonsShowNoToolTipAndToggleHidesTheToolbar() {
    QTemporaryDir start;
    ScriptedInteraction ui;
    CMainFrame frame(start.path().toStdString(), ui);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    QWidget* button = frame.ToolBar()->widgetForAction(frame.Action(kCmdDeleteSongs));
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), button->mapToGlobal(QPoint(2, 2)));
    QVERIFY(QApplication::sendEvent(button, &help));  // eaten before a tip could show

    frame.Action(kCmdViewToolbar)->trigger();
    QVERIFY(!frame.ToolBar()->isVisible());
    QCOMPARE(frame.size(), QSize(922, 538));
  }

  void menuCommandAndFormButtonOpenTheSameFolderDialog() {
    QTemporaryDir start;
    ScriptedInteraction ui;
    CMainFrame frame(start.path().toStdString(), ui);
    frame.show();
    QString seen;
    WhenModalOpens([&](QWidget* modal) { seen = modal ? modal->metaObject()->className() : QString(); });
    frame.Action(kCmdFolderSettings)->trigger();
    QCOMPARE(seen, QStringLiteral("vx::ui::CFolderSettingsDlg"));

    seen.clear();
    WhenModalOpens([&](QWidget* modal) { seen = modal ? modal->metaObject()->className() : QString(); });
    frame.View()->findChild<QPushButton*>(QStringLiteral("folderSettings"))->click();
    QCOMPARE(seen, QStringLiteral("vx::ui::CFolderSettingsDlg"));

    seen.clear();
    WhenModalOpens([&](QWidget* modal) { seen = modal ? modal->windowTitle() : QString(); });
    frame.Action(kCmdAbout)->trigger();
    QCOMPARE(seen, QStringLiteral("关于 VX歌曲整理器"));
  }

  void folderDialogRoundTripIntoTheSettingsFile() {
    StartFolder start;
    ScriptedInteraction ui;
    CFolderSettingsDlg dialog(start.Settings(), ui);
    auto* music = dialog.findChild<QLineEdit*>(QStringLiteral("musicDir"));
    auto* move = dialog.findChild<QLineEdit*>(QStringLiteral("moveDir"));
    auto* image = dialog.findChild<QLineEdit*>(QStringLiteral("imageDir"));
    QCOMPARE(music->text(), QString::fromStdString(start.Music()));
    QCOMPARE(dialog.size(), QSize(508, 304));

    // A cancelled browse leaves its field as it was; typed text elsewhere stays.
    const QString imageBefore = image->text();
    move->setText(QStringLiteral("/typed/移动"));
    dialog.findChild<QPushButton*>(QStringLiteral("browseImage"))->click();
    QCOMPARE(image->text(), imageBefore);
    QCOMPARE(move->text(), QStringLiteral("/typed/移动"));
    QCOMPARE(ui.Count(ScriptedInteraction::Event::kFolder), std::size_t{1});
    QCOMPARE(vx::Utf8FromGbk(ui.events.back().text), std::string("请选择文件存放的路径:"));

    ui.folderAnswers = {vx::Gbk("/games/歌曲")};
    dialog.findChild<QPushButton*>(QStringLiteral("browseMusic"))->click();
    QCOMPARE(music->text(), QStringLiteral("/games/歌曲"));

    // Folders that are not there are named in a warning; 取消 goes back to the dialog with nothing saved.
    const vx::Bytes unchanged = start.SettingsBytes();
    dialog.show();
    dialog.findChild<QPushButton*>(QStringLiteral("ok"))->click();
    QVERIFY(dialog.isVisible());
    QCOMPARE(start.SettingsBytes(), unchanged);
    QCOMPARE(vx::Utf8FromGbk(ui.events.back().text),
             "这些文件夹不存在,仍然保存吗?\n/games/歌曲\n/typed/移动\n" + imageBefore.toStdString());
    ui.okCancelAnswers = {true};
    image->clear();
    dialog.findChild<QPushButton*>(QStringLiteral("ok"))->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const vx::Bytes bytes = start.SettingsBytes();
    QCOMPARE(bytes.size(), std::size_t{769});
    const std::string musicGbk = vx::Gbk("/games/歌曲");
    QCOMPARE(std::size_t{bytes[0]}, musicGbk.size());
    QCOMPARE(std::string(bytes.begin() + 1, bytes.begin() + 1 + static_cast<long>(musicGbk.size())),
             musicGbk);
    QCOMPARE(int(bytes[1 + musicGbk.size()]), 0);
    QCOMPARE(vx::ReadFolders(start.Settings())->moveDir, vx::Gbk("/typed/移动"));
    QCOMPARE(vx::ReadFolders(start.Settings())->imageDir, std::string());
    QVERIFY(ui.Messages().empty());
  }

  void cancelAndUnstorableFoldersWriteNothing() {
    StartFolder start;
    const vx::Bytes before = start.SettingsBytes();
    ScriptedInteraction ui;
    {
      CFolderSettingsDlg dialog(start.Settings(), ui);
      dialog.findChild<QLineEdit*>(QStringLiteral("musicDir"))->setText(QStringLiteral("/else"));
      dialog.findChild<QPushButton*>(QStringLiteral("cancel"))->click();
      QCOMPARE(start.SettingsBytes(), before);
    }
    CFolderSettingsDlg dialog(start.Settings(), ui);
    dialog.show();
    auto* move = dialog.findChild<QLineEdit*>(QStringLiteral("moveDir"));
    move->setText(QString(256, u'x'));
    dialog.findChild<QPushButton*>(QStringLiteral("ok"))->click();
    QVERIFY(dialog.isVisible());
    QCOMPARE(start.SettingsBytes(), before);
    QCOMPARE(ui.Messages().size(), std::size_t{1});
    QVERIFY(ui.Messages()[0].rfind("目录太长(超过255字节),无法保存:", 0) == 0);

    move->setText(QStringLiteral("/music/🎵"));
    dialog.findChild<QPushButton*>(QStringLiteral("ok"))->click();
    QVERIFY(dialog.isVisible());
    QCOMPARE(start.SettingsBytes(), before);
    QCOMPARE(ui.Messages().back(), std::string("目录里有GBK无法表示的字符,无法保存:U+1F3B5"));

    move->setText(QString(255, u'y'));  // exactly what a slot holds
    ui.okCancelAnswers = {true};        // though no such folder exists
    dialog.findChild<QPushButton*>(QStringLiteral("ok"))->click();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(vx::ReadFolders(start.Settings())->moveDir, std::string(255, 'y'));
  }

  void qtInteractionShowsTheCaptionAndOnlyTheButtonsAskedFor() {
    QtInteraction ui;
    QString caption, text;
    QStringList buttons;
    const auto look = [&](QMessageBox* box) {
      caption = box->windowTitle();
      text = box->text();
      buttons.clear();
      for (QAbstractButton* button : box->buttons()) buttons << button->text();
    };
    WhenModalOpens([&](QWidget* modal) { look(qobject_cast<QMessageBox*>(modal)); });
    ui.ShowMessage(vx::Gbk("请先选定一首歌"), vx::Gbk("VX歌曲整理器"));
    QCOMPARE(caption, QStringLiteral("VX歌曲整理器"));
    QCOMPARE(text, QStringLiteral("请先选定一首歌"));
    QCOMPARE(buttons, QStringList{"确定"});

    WhenModalOpens([&](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      look(box);
      box->button(QMessageBox::Ok)->click();
    });
    QVERIFY(ui.AskOkCancel(vx::Gbk("确定修改吗?"), vx::Gbk("VX歌曲整理器")));
    QCOMPARE(buttons.size(), 2);
    WhenModalOpens([](QWidget*) {});  // closing the box is Cancel
    QVERIFY(!ui.AskOkCancel(vx::Gbk("确定修改吗?"), vx::Gbk("VX歌曲整理器")));

    WhenModalOpens([&](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      look(box);
      for (QAbstractButton* button : box->buttons())
        if (button->text() == QStringLiteral("跳过")) button->click();
    });
    const std::vector<vx::ClashAnswer> all = {vx::ClashAnswer::kNextFreeId, vx::ClashAnswer::kReplace,
                                              vx::ClashAnswer::kSkip, vx::ClashAnswer::kStop};
    QCOMPARE(ui.AskClash(vx::Gbk("编号7 歌\n/music/vxma7.vxn"), all), vx::ClashAnswer::kSkip);
    QCOMPARE(buttons.size(), 4);
    QVERIFY(buttons.contains(QStringLiteral("使用空闲编号")) && buttons.contains(QStringLiteral("全部取消")));
    QCOMPARE(text, QStringLiteral("编号7 歌\n/music/vxma7.vxn"));
  }

  void registrationSwitchesManageTheMenuEntryAndEndWithoutAWindow() {
    QTemporaryDir home;
    QProcessEnvironment env;
    const QString entry = RedirectMenuEntry(home, env);
    for (const QString& name : env.keys()) qputenv(name.toUtf8().constData(), env.value(name).toUtf8());

    QCOMPARE(HandleRegistrationSwitch({"vxorganizer", "/REGSERVER"}), std::optional<int>(0));
#ifdef _WIN32
    // The shortcut starts this program.
    QCOMPARE(QFileInfo(entry).symLinkTarget(), QCoreApplication::applicationFilePath());
#else
    QFile file(entry);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    QVERIFY(text.startsWith(QStringLiteral("[Desktop Entry]\n")));
    QVERIFY(text.contains(QStringLiteral("Exec=\"") + QCoreApplication::applicationFilePath()));
    file.close();
#endif

    QCOMPARE(HandleRegistrationSwitch({"vxorganizer", "/RegServer", "later"}), std::nullopt);
    QCOMPARE(HandleRegistrationSwitch({"vxorganizer"}), std::nullopt);
    QVERIFY(QFile::exists(entry));
    QCOMPARE(HandleRegistrationSwitch({"vxorganizer", "-unregserver"}), std::optional<int>(0));
    QVERIFY(!QFile::exists(entry));
    QCOMPARE(HandleRegistrationSwitch({"vxorganizer", "-UnregServer"}), std::optional<int>(0));
  }

  void theProgramRegistersWithoutADisplayAndOpensNoWindow() {
    QTemporaryDir home;
    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));  // a window would now fail to start
    const QString entry = RedirectMenuEntry(home, env);
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(home.path());
    program.start(QStringLiteral(VXORGANIZER_PATH), {QStringLiteral("/regserver")});
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QVERIFY(QFile::exists(entry));
    QVERIFY(!QFile::exists(home.filePath(QStringLiteral("REC.re"))));
  }
};

QTEST_MAIN(FrameTest)
#include "frame_test.moc"
