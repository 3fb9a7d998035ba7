#include "ui/app/trakly_app.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTimer>
#include <QTranslator>

#include "core/io/user_environment.h"
#include "core/shell/registration.h"
#include "core/text/gbk.h"
#include "core/text/native_path.h"
#include "ui/app/main_frame.h"
#include "ui/app/qt_interaction.h"
#include "ui/app/screenshot_script.h"
#include "ui/common/qt_text.h"
#include "ui/library/trakly_view.h"
#include "ui/resources/resources.h"

namespace vx::ui {
namespace {

#ifdef _WIN32
QString MenuEntryPath() {
  return ApplicationsFolder() + u'/' + FromUtf8(kShortcutFileName);
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
  // The same data folder the history and the trash use, so all three follow one XDG_DATA_HOME rule.
  const std::string dataHome = UserDataFolder();
  return (dataHome.empty() ? QDir::homePath() + QStringLiteral("/.local/share") : QtPath(dataHome)) +
         QStringLiteral("/applications");
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
  setWindowIcon(ProgramIcon());
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
    QTimer::singleShot(300, this, [this, folder] {
      RunScreenshotScript(*m_frame, *m_interaction, folder);
      quit();
    });
  }
  const auto maximized = args.indexOf(QStringLiteral("--screenshot-maximized"));
  if (maximized >= 0 && maximized + 1 < args.size()) {
    const QString folder = args[maximized + 1];
    QTimer::singleShot(300, this, [this, folder] {
      RunMaximizedScreenshot(*m_frame, folder);
      quit();
    });
  }
  return std::nullopt;
}

}  // namespace vx::ui
