#pragma once

#include "GalleryPage.h"

class LumoPackage;

/// The build stamp of the loaded library as a key/value table.
class AboutPage : public GalleryPage
{
    Q_OBJECT
public:
    explicit AboutPage(const LumoPackage &package, QWidget *parent = nullptr);
};
