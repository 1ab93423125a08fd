#pragma once

#include <QPixmap>

class QxSplashScreen;

/// The gallery's splash picture, drawn by the program rather than shipped.
QPixmap splashPicture();

/// A QxSplashScreen on splashPicture() with "Version " and \a version in its
/// corner, shown at once. The caller ends it with scheduleDeletion().
QxSplashScreen *showSplash(const QString &version);
