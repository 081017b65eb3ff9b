#include "app/connections.h"
#include "app/home.h"
#include "app/main_menu.h"
#include "app/setup.h"
#include "app/sign_in.h"
#include "app/startup.h"
#include "app/ui/login_screen.h"
#include "app/ui/main_menu_window.h"
#include "app/ui/screen_registry.h"
#include "app/ui/screens.h"
#include "app/ui/setup_screen.h"
#include "platform/error_log.h"
#include "platform/shipped_files.h"
#include "platform/ui/guarded_application.h"
#include "platform/ui/qt_prompt.h"
#include "platform/version.h"
#include "reports/default_reports.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QIcon>

#include <cstdio>
#include <memory>
#include <optional>
#include <string_view>

using namespace tawela;

namespace {

// The program's icon: the desktop theme's, else the sizes installed beside
// the program's own files (share/icons/hicolor).
QIcon programIcon()
{
    QIcon icon = QIcon::fromTheme(QStringLiteral("tawela"));
    if (!icon.isNull())
        return icon;
    const QString shipped = platform::shippedFolder();
    if (shipped.isEmpty())
        return icon;
    const QDir hicolor(shipped + QStringLiteral("/../icons/hicolor"));
    for (const char* size : {"16x16", "32x32", "48x48", "64x64", "128x128", "256x256"}) {
        const QString png =
            hicolor.filePath(QLatin1String(size) + QStringLiteral("/apps/tawela.png"));
        if (QFileInfo::exists(png))
            icon.addFile(png);
    }
    return icon;
}

constexpr const char* Usage = "usage: tawela [--home DIR]\n"
                              "       tawela --version\n"
                              "       tawela --help\n";

// Qt's own options, which QApplication takes from the command line: those
// followed by a value, and those alone.
bool qtOption(std::string_view a, bool* takesValue)
{
    static constexpr std::string_view withValue[] = {"-platform",
                                                     "-platformpluginpath",
                                                     "-platformtheme",
                                                     "-plugin",
                                                     "-qwindowgeometry",
                                                     "-qwindowicon",
                                                     "-qwindowtitle",
                                                     "-style",
                                                     "-stylesheet",
                                                     "-display",
                                                     "-geometry",
                                                     "-session",
                                                     "-name",
                                                     "-title"};
    static constexpr std::string_view alone[] = {"-reverse", "-widgetcount", "-sync", "-nograb",
                                                 "-dograb"};
    if (a.substr(0, 2) == "--")
        a.remove_prefix(1); // Qt reads "--style" as "-style"
    const size_t equals = a.find('=');
    const std::string_view name = a.substr(0, equals);
    for (std::string_view o : withValue)
        if (name == o) {
            *takesValue = equals == std::string_view::npos;
            return true;
        }
    for (std::string_view o : alone)
        if (a == o) {
            *takesValue = false;
            return true;
        }
    return false;
}

// "--version" and "--help" are answered before any window opens; an
// option the program does not know, or "--home" without its folder, is
// refused with the usage (exit status 2) rather than run in some other
// folder than the one meant.
std::optional<int> answeredFromCommandLine(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a == "--version") {
            std::printf("tawela %s\n", platform::versionText().toUtf8().constData());
            return 0;
        }
        if (a == "--help" || a == "-h") {
            std::printf("%s\n"
                        "The shop's files are kept in the home folder: DIR, else $TAWELA_HOME,\n"
                        "else ~/.local/share/Tawela. A home folder without tawela.ini opens\n"
                        "the setup screen.\n",
                        Usage);
            return 0;
        }
    }
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        bool takesValue = false;
        if (a == "--home") {
            if (i + 1 >= argc || argv[i + 1][0] == '\0' || argv[i + 1][0] == '-') {
                std::fprintf(stderr, "tawela: --home needs a folder\n%s", Usage);
                return 2;
            }
            ++i;
        } else if (a.substr(0, 7) == "--home=") {
            if (a.size() == 7) {
                std::fprintf(stderr, "tawela: --home needs a folder\n%s", Usage);
                return 2;
            }
        } else if (qtOption(a, &takesValue)) {
            i += takesValue ? 1 : 0;
        } else {
            std::fprintf(stderr, "tawela: unknown option or argument '%s'\n%s", argv[i], Usage);
            return 2;
        }
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char* argv[])
{
    if (const auto answered = answeredFromCommandLine(argc, argv))
        return *answered;
    app::keepNewFilesPrivate();
    platform::GuardedApplication application(argc, argv);
    // No display name: Qt would append it to every window title, and the
    // screens' titles stand alone.
    QApplication::setApplicationName(QStringLiteral("Tawela"));
    // The windows belong to the menu entry th.tawela.tawela.desktop (its
    // StartupWMClass is the window class, "Tawela") and carry its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("th.tawela.tawela"));
    QApplication::setWindowIcon(programIcon());
    QApplication::setQuitOnLastWindowClosed(false);

    platform::QtPrompt prompt;
    const QString home = app::resolveHomeFolder(QApplication::arguments());
    platform::error_log::setFolder(home);

    // A restore stopped halfway by a kill or a power cut is carried to its
    // end (or undone) before anything reads the databases.
    if (!app::finishRestoreOrReport(home, prompt))
        return 1;

    if (!app::isSetUp(home)) {
        app::makePrivateFolder(home);
        app::SetupForm setup(home, prompt);
        app::SetupScreen screen(setup);
        if (screen.exec() != QDialog::Accepted || !setup.completed())
            return 0;
    }

    // The login reads the configuration afresh (setup may just have written it).
    const auto config = app::readConfigOrReport(home, prompt);
    if (!config)
        return 1;

    // A shop's own copies stay; only definitions it lacks are added.
    try {
        reports::installMissingReports(config->dataFolder);
    } catch (const platform::Error& e) {
        prompt.error(e.description());
    }

    app::Connections connections;
    app::SignInForm signIn(*config, connections, prompt);
    app::ScreenRegistry screens;
    reports::PrinterChoice printerChoice; // the printer chosen last, for the whole run
    std::unique_ptr<app::MainMenuForm> menuForm;
    std::unique_ptr<app::MainMenuWindow> menu;

    app::LoginScreen login(signIn);
    int result = 0;
    QObject::connect(&login, &app::LoginScreen::exitRequested, [&] { QApplication::quit(); });
    QObject::connect(&login, &app::LoginScreen::fatalError, [&] {
        result = 1;
        QApplication::quit();
    });
    QObject::connect(&login, &app::LoginScreen::signedIn, [&] {
        login.hide();
        menuForm = std::make_unique<app::MainMenuForm>(signIn.session(), connections.main(), prompt,
                                                       connections.personal());
        menu = std::make_unique<app::MainMenuWindow>(*menuForm, screens,
                                                     app::composeScreens(*config, connections,
                                                                         signIn.session(), prompt,
                                                                         printerChoice, screens));
        QObject::connect(menu.get(), &app::MainMenuWindow::quitRequested, [&] {
            connections.close();
            QApplication::quit();
        });
        menu->show();
    });
    login.showFullScreen();
    const int code = QApplication::exec();
    // A restore checked and prepared during the run is put in place now
    // that no screen works on the files any more.
    if (!app::finishRestoreOrReport(home, prompt))
        return 1;
    return result != 0 ? result : code;
}
