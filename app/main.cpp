#include "app/connections.h"
#include "app/home.h"
#include "app/startup.h"
#include "app/ui/main_window.h"
#include "platform/ui/qt_prompt.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tawela"));
    QApplication::setApplicationDisplayName(QStringLiteral("Tawela"));

    tawela::platform::QtPrompt prompt;
    const QString home = tawela::app::resolveHomeFolder(QApplication::arguments());
    const auto config = tawela::app::readConfigOrReport(home, prompt);
    if (!config)
        return 1;

    tawela::app::Connections connections;
    if (!tawela::app::openConnectionsOrReport(connections, *config, prompt))
        return 1;

    int result = 0;
    {
        tawela::app::MainWindow window(connections);
        window.show();
        result = QApplication::exec();
    }
    connections.close();
    return result;
}
