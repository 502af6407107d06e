// A minimal Qt Core program printing one line: the yardstick of a command's start-up in
// StartupBench.cpp.
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream(stdout) << "korvane 0\n";
    return 0;
}
