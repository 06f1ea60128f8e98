// The Qt and C++ library headers that most of Tervane's files include, compiled once per build.
// Only library headers belong here: a file still includes what it uses, and the fuzz build, which
// precompiles nothing, holds every file to that.
#pragma once

#include <QAction>
#include <QApplication>
#include <QByteArray>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHash>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QStyle>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>
