// The least a program linked to Qt Core can do: load the library, make one string, exit.
// `tarvik help` is timed against it to tell the command line's own start-up from the
// dynamic loading of Qt Core and the libraries it pulls in.
#include <QString>

int main(int argc, char**) {
    return QString::number(argc).size() == 1 ? 0 : 1;
}
