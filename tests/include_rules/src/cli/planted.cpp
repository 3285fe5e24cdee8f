// Planted: the command line may not include Qt.
#include <QString>
