#include "app/commandline.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>
#include <cstdlib>

CommandLine::CommandLine(int argc, char** argv)
{
    QCoreApplication::setApplicationName(QStringLiteral("kivelo"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KIVELO_VERSION));
    parser_.setApplicationDescription(
        QStringLiteral("Kivelo (家計簿1.5), a household account book of one month per ledger file."));
    // Qt's options are single words after one dash; taken as such here, none of them is read as a
    // run of letters such as the -v of --version.
    parser_.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    QCommandLineOption help = parser_.addHelpOption();
    QCommandLineOption version = parser_.addVersionOption();
    parser_.addPositionalArgument(
        QStringLiteral("FILE.ZMR"), QStringLiteral("The ledger to open at start."), QStringLiteral("[FILE.ZMR]"));

    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // Qt's own options are unknown to the program, so this reading may fail; the second one says so.
    parser_.parse(arguments);
    if (!parser_.isSet(help) && !parser_.isSet(version))
        return;
    QCoreApplication program(argc, argv);  // the program's name in the help text; needs no display
    if (parser_.isSet(help))
        parser_.showHelp();
    parser_.showVersion();
}

QString CommandLine::Ledger()
{
    parser_.process(QCoreApplication::arguments());
    const QStringList files = parser_.positionalArguments();
    if (files.size() > 1) {
        std::fprintf(stderr, "%s: one ledger at a time, not %d\n", qPrintable(QCoreApplication::applicationName()),
            int(files.size()));
        std::exit(EXIT_FAILURE);
    }
    return files.isEmpty() ? QString() : QFileInfo(files.front()).absoluteFilePath();
}
