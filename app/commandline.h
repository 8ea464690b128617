// The command line: kivelo [FILE.ZMR], with --help and --version. Read in two steps around the
// application object, so that --help and --version need neither a window nor a display, while
// Qt's own options (-platform, -display, -style, ...) are left to the application object.
#pragma once

#include <QCommandLineParser>
#include <QString>

class CommandLine {
public:
    // Before the application object exists: names the program (kivelo and its version, which the
    // desktop and the settings folder know it by) and answers --help and --version, printing them
    // and ending the program.
    CommandLine(int argc, char** argv);

    // Once the application object has taken out its own options: the ledger to open at start, as
    // an absolute name, or none. Any other argument is bad usage; it is printed and the program
    // ends with status 1.
    QString Ledger();

private:
    QCommandLineParser parser_;
};
