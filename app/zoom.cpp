#include "app/zoom.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QSettings>
#include <QString>
#include <algorithm>
#include <optional>

namespace zoom {

namespace {

const QString ZoomKey = QStringLiteral("view/zoom");
const QString WideKey = QStringLiteral("view/wide");
const char* const ScaleVariable = "QT_SCALE_FACTOR";

// The program's own settings file, APPLICATION/APPLICATION.conf, as the recent list's; before the
// application object names the program, kivelo's.
QSettings Settings()
{
    QString application = QCoreApplication::applicationName();
    if (application.isEmpty())
        application = QStringLiteral("kivelo");
    return QSettings(application, application);
}

int running = 100;
// QT_SCALE_FACTOR as the environment had it before this run set it: unset, or its value.
std::optional<std::optional<QByteArray>> environmentBefore;

} // namespace

int Saved()
{
    bool number = false;
    int percent = Settings().value(ZoomKey).toInt(&number);
    return number && std::find(Steps.begin(), Steps.end(), percent) != Steps.end() ? percent : 100;
}

void Save(int percent) { Settings().setValue(ZoomKey, percent); }

int Larger(int percent)
{
    auto next = std::upper_bound(Steps.begin(), Steps.end(), percent);
    return next == Steps.end() ? Steps.back() : *next;
}

int Smaller(int percent)
{
    auto next = std::lower_bound(Steps.begin(), Steps.end(), percent);
    return next == Steps.begin() ? Steps.front() : *(next - 1);
}

void ScaleThisRun()
{
    running = Saved();
    if (running == 100)
        return;
    std::optional<QByteArray> before;
    double desktop = 1.0;
    if (qEnvironmentVariableIsSet(ScaleVariable)) {
        before = qgetenv(ScaleVariable);
        bool number = false;
        double asked = before->toDouble(&number);
        if (number && asked > 0)
            desktop = asked;
    }
    environmentBefore = before;
    qputenv(ScaleVariable, QByteArray::number(desktop * running / 100.0));
}

void GiveBackEnvironment()
{
    if (!environmentBefore)
        return;
    if (*environmentBefore)
        qputenv(ScaleVariable, **environmentBefore);
    else
        qunsetenv(ScaleVariable);
    environmentBefore.reset();
}

int Running() { return running; }

bool SavedWide() { return Settings().value(WideKey, false).toBool(); }

void SaveWide(bool wide) { Settings().setValue(WideKey, wide); }

} // namespace zoom
