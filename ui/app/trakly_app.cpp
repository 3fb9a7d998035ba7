#include "ui/app/trakly_app.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QSaveFile>
#include <QScreen>
#include <QStandardPaths>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <array>

#include "core/library/scan.h"
#include "core/messages.h"
#include "core/operations/library_check_ops.h"
#include "core/settings/settings_file.h"
#include "core/shell/registration.h"
#include "core/text/gbk.h"
#include "core/text/native_path.h"
#include "ui/app/about_dlg.h"
#include "ui/app/folder_settings_dlg.h"
#include "ui/app/main_frame.h"
#include "ui/app/qt_interaction.h"
#include "ui/app/qt_text.h"
#include "ui/app/window_settings.h"
#include "ui/archive/image_archive_dlg.h"
#include "ui/library/history_dlg.h"
#include "ui/library/library_check_dlg.h"
#include "ui/library/search_field.h"
#include "ui/library/song_list_menu.h"
#include "ui/library/song_table_model.h"
#include "ui/library/trakly_view.h"
#include "ui/resources/resources.h"

namespace vx::ui {
namespace {

#ifdef _WIN32
QString MenuEntryPath() {
  return ApplicationsFolder() + u'/' +
         QString::fromUtf8(kShortcutFileName.data(), static_cast<qsizetype>(kShortcutFileName.size()));
}

bool InstallMenuEntry() {
  if (!QDir().mkpath(ApplicationsFolder())) return false;
  return WriteShortcut(PathFromQt(MenuEntryPath()), PathFromQt(QCoreApplication::applicationFilePath()),
                       std::filesystem::current_path());
}
#else
QString MenuEntryPath() {
  return ApplicationsFolder() + u'/' +
         QString::fromLatin1(kDesktopEntryFileName.data(),
                             static_cast<qsizetype>(kDesktopEntryFileName.size()));
}

bool InstallMenuEntry() {
  if (!QDir().mkpath(ApplicationsFolder())) return false;
  const std::string text = DesktopEntryTextUtf8(QCoreApplication::applicationFilePath().toStdString(),
                                                QDir::currentPath().toStdString());
  // Written whole or not at all, so a desktop never lists a half entry.
  QSaveFile file(MenuEntryPath());
  if (!file.open(QIODevice::WriteOnly)) return false;
  file.write(text.data(), static_cast<qint64>(text.size()));
  return file.commit();
}
#endif

bool RemoveMenuEntry() {
  QFile file(MenuEntryPath());
  return !file.exists() || file.remove();
}

// The folder the program starts in, as a GBK path; "." when GBK cannot spell it, which names the same
// folder for as long as the program runs.
std::string StartFolder() {
  const std::string gbk = GbkPath(std::filesystem::current_path());
  return gbk.empty() ? std::string(".") : gbk;
}

}  // namespace

QString ApplicationsFolder() {
#ifdef _WIN32
  const QString appData = qEnvironmentVariable("APPDATA");
  if (appData.isEmpty() || QDir::isRelativePath(appData))
    return QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
  return QDir::fromNativeSeparators(appData) + QStringLiteral("/Microsoft/Windows/Start Menu/Programs");
#else
  QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
  if (dataHome.isEmpty() || QDir::isRelativePath(dataHome))
    dataHome = QDir::homePath() + QStringLiteral("/.local/share");
  return dataHome + QStringLiteral("/applications");
#endif
}

std::optional<int> HandleRegistrationSwitch(const QStringList& arguments) {
  const QString line = arguments.mid(1).join(u' ');
  switch (FindRegistrationSwitch(line.toStdString())) {
    case RegistrationSwitch::kRegister:
      return InstallMenuEntry() ? 0 : 1;
    case RegistrationSwitch::kUnregister:
      return RemoveMenuEntry() ? 0 : 1;
    case RegistrationSwitch::kNone:
      return std::nullopt;
  }
  return std::nullopt;
}

std::optional<int> HandleRegistrationSwitch(int& argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  if (FindRegistrationSwitch(arguments.mid(1).join(u' ').toStdString()) == RegistrationSwitch::kNone)
    return std::nullopt;
  // A core application knows the program's own path without connecting to a display.
  QCoreApplication core(argc, argv);
  return HandleRegistrationSwitch(core.arguments());
}

bool InstallQtChinese(QCoreApplication& app) {
  EnsureResources();
  auto* translator = new QTranslator(&app);
  if (!translator->load(QStringLiteral(":/translations/qtbase_zh_CN.qm"))) {
    delete translator;
    return false;
  }
  return QCoreApplication::installTranslator(translator);
}

CTRAKLYApp::CTRAKLYApp(int& argc, char** argv) : QApplication(argc, argv) {
  EnsureResources();
  InstallQtChinese(*this);
  setApplicationName(QStringLiteral("vxorganizer"));
  setWindowIcon(QIcon(QStringLiteral(":/pictures/icon.png")));
}

CTRAKLYApp::~CTRAKLYApp() = default;

std::optional<int> CTRAKLYApp::InitInstance() {
  if (const auto code = HandleRegistrationSwitch(arguments())) return code;

  m_interaction = std::make_unique<QtInteraction>();
  m_frame = std::make_unique<CMainFrame>(StartFolder(), *m_interaction);
  m_interaction->RememberPlaces(&m_frame->Settings(), m_frame->View()->SettingsPath());
  m_frame->show();

  const QStringList args = arguments();
  const auto script = args.indexOf(QStringLiteral("--screenshot-script"));
  if (script >= 0 && script + 1 < args.size()) {
    const QString folder = args[script + 1];
    QTimer::singleShot(300, this, [this, folder] { RunScreenshotScript(folder); });
  }
  const auto maximized = args.indexOf(QStringLiteral("--screenshot-maximized"));
  if (maximized >= 0 && maximized + 1 < args.size()) {
    const QString folder = args[maximized + 1];
    QTimer::singleShot(300, this, [this, folder] { RunMaximizedScreenshot(folder); });
  }
  return std::nullopt;
}

void CTRAKLYApp::RunMaximizedScreenshot(const QString& folder) {
  QDir().mkpath(folder);
  CTRAKLYView* view = m_frame->View();
  view->OnScan();
  m_frame->showMaximized();
  processEvents();
  // Without a window manager (a bare Xvfb) nobody maximizes; the window takes the screen itself.
  const QRect available = m_frame->screen()->availableGeometry();
  if (m_frame->frameGeometry().size() != available.size()) m_frame->setGeometry(available);
  // Some songs ticked, a few of them then hidden by the filter, so the status bar has both counts.
  for (std::size_t r = 0; r < view->Table().Size(); r += 97)
    view->Model()->setData(view->Model()->index(static_cast<int>(r), 0), Qt::Checked, Qt::CheckStateRole);
  m_frame->Search()->setText(QStringLiteral("hard:15-20 bpm:>100"));
  m_frame->MatchesOnly()->setChecked(true);
  processEvents();
  m_frame->grab().save(folder + QStringLiteral("/maximized_filtered.png"));
  quit();
}

void CTRAKLYApp::RunScreenshotScript(const QString& folder) {
  QDir().mkpath(folder);
  CTRAKLYView* view = m_frame->View();
  view->OnScan();
  // The three status marks on the first rows, each set as a person would: tick, choose, untick.
  const std::array<void (CTRAKLYView::*)(), 3> marks = {
      &CTRAKLYView::OnStatusWeekly, &CTRAKLYView::OnStatusNewest, &CTRAKLYView::OnStatusPopular};
  for (std::size_t r = 0; r < marks.size() && r < view->Table().Size(); ++r) {
    const QModelIndex tick = view->Model()->index(static_cast<int>(r), 0);
    view->Model()->setData(tick, Qt::Checked, Qt::CheckStateRole);
    (view->*marks[r])();
    view->Model()->setData(tick, Qt::Unchecked, Qt::CheckStateRole);
  }
  const std::array<std::size_t, 1> row = {view->Table().Size() > 2 ? std::size_t{2} : std::size_t{0}};
  if (!view->Table().Empty()) {
    view->SelectRows(row);
    view->OnClickSongList();
  }
  processEvents();
  m_frame->grab().save(folder + QStringLiteral("/main_window.png"));

  // A query typed into the search field: its matches highlighted, their number in the status bar.
  m_frame->Search()->setText(QStringLiteral("hard:15-20 bpm:>100"));
  processEvents();
  m_frame->grab().save(folder + QStringLiteral("/search.png"));
  m_frame->Search()->clear();

  // The right-click menu on the clicked row. It is a window of its own, so the screen is grabbed.
  if (!view->Table().Empty()) {
    QTableView* list = view->SongList();
    const QPoint at = list->visualRect(view->Model()->index(static_cast<int>(row[0]), kColTitle)).center();
    const auto menu = view->ContextMenu()->MenuAt(at);
    menu->popup(list->viewport()->mapToGlobal(at));
    processEvents();
    const QRect area = m_frame->frameGeometry().united(menu->geometry());
    m_frame->screen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .save(folder + QStringLiteral("/context_menu.png"));
    menu->close();
  }

  // The cover import's chooser, in Chinese, where it starts: the MUSIC folder's parent.
  {
    FileDialogRequest request;
    request.filters = {{Gbk(msg::kFilterJpeg), "*.jpg"}};
    request.defaultExtension = "jpg";
    QFileDialog chooser(m_frame.get());
    chooser.setFileMode(QFileDialog::ExistingFile);
    SetUpFileDialog(chooser, request);
    chooser.setDirectory(QDir::current());
    chooser.show();
    processEvents();
    chooser.grab().save(folder + QStringLiteral("/file_dialog.png"));
    chooser.close();
  }

  if (const auto report = OnCheckLibrary(view->SettingsPath(), *m_interaction)) {
    CLibraryCheckDlg check(QString::fromStdString(Utf8FromGbk(LibraryReportTextGbk(*report))),
                           !ReportedIds(*report).empty(), HasLeftoverTemporaries(*report), m_frame.get());
    check.show();
    processEvents();
    check.grab().save(folder + QStringLiteral("/library_check.png"));
    check.close();
  }

  // The history dialog over a history of its own, so the demo library's charts are never touched: three
  // songs kept as an edit, a cover import and a renumber would keep them.
  if (const auto musicDir = ReadFolder(view->SettingsPath(), FolderSlot::kMusic);
      musicDir && view->Table().Size() >= 3) {
    QTemporaryDir kept;
    History history(GbkPath(PathFromQt(kept.path())));
    const std::array<HistoryOperation, 3> operations = {
        HistoryOperation::kRenumber, HistoryOperation::kImportCover, HistoryOperation::kEdit};
    for (std::size_t r = 0; r < operations.size(); ++r) {
      const int id = view->Table().Row(r).Id();
      if (const auto chart = ReadWholeFile(ChartPath(*musicDir, id)))
        history.Record(
            *musicDir, id, operations[r], *chart,
            operations[r] == HistoryOperation::kRenumber ? std::optional<int>(4000) : std::nullopt);
    }
    CHistoryDlg dialog([&history, &musicDir] { return history.Entries(*musicDir); }, m_frame.get());
    dialog.List()->selectRow(0);
    dialog.show();
    processEvents();
    dialog.grab().save(folder + QStringLiteral("/history.png"));
    dialog.close();
  }

  CFolderSettingsDlg settings(view->SettingsPath(), *m_interaction, m_frame.get());
  settings.show();
  processEvents();
  settings.grab().save(folder + QStringLiteral("/folder_settings.png"));
  settings.close();

  CAboutDlg about(m_frame.get());
  about.show();
  processEvents();
  about.grab().save(folder + QStringLiteral("/about.png"));
  about.close();

  // The demo library holds Playing.vpi beside REC.re; its background entry fills the preview.
  CImageArchiveDlg browser(view->SettingsPath(), *m_interaction, m_frame.get());
  browser.OpenArchive(GbkPath(std::filesystem::current_path() / "Playing.vpi"));
  const std::array<int, 1> entry = {0};
  browser.SelectRows(entry);
  browser.OnClickEntryList();
  browser.show();
  processEvents();
  browser.grab().save(folder + QStringLiteral("/archive_browser.png"));
  browser.close();
  quit();
}

}  // namespace vx::ui
