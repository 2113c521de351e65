// gestalon_art OUTDIR: draws the pictures the program ships (skin images, toolbar strip,
// program icon, also in the desktop icon theme's sizes) into OUTDIR/me_image and OUTDIR/icons. The
// output depends on nothing but this code, so running it again gives the same files.
#include <QDir>
#include <QString>
#include <cstdio>

#include "app_icon.h"
#include "art_kit.h"
#include "skin_images.h"
#include "toolbar_icons.h"

int main(int argc, char** argv) {
  using namespace gestalon::art;
  if (argc != 2) {
    std::fprintf(stderr, "usage: gestalon_art OUTDIR\n");
    return 2;
  }
  const QString outDir = QString::fromLocal8Bit(argv[1]);
  const QString skinDir = outDir + "/me_image";
  const QString iconDir = outDir + "/icons";
  if (!QDir().mkpath(skinDir) || !QDir().mkpath(iconDir)) {
    std::fprintf(stderr, "gestalon_art: cannot create the folders under %s\n", argv[1]);
    return 1;
  }
  bool ok = WriteSkinImages(skinDir);
  ok = SaveBmp(MakeToolbarStrip(), iconDir + "/toolbar.bmp") && ok;
  ok = SavePng(MakeAppIcon(256), iconDir + "/gestalon.png") && ok;
  ok = SavePng(MakeAppIcon(32), iconDir + "/gestalon_32.png") && ok;
  // The desktop's menus and file managers pick the size they show from these.
  for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
    const QString themeDir = QString("%1/hicolor/%2x%2/apps").arg(iconDir).arg(size);
    ok = QDir().mkpath(themeDir) && SavePng(MakeAppIcon(size), themeDir + "/gestalon.png") && ok;
  }
  if (!ok) {
    std::fprintf(stderr, "gestalon_art: some pictures could not be written to %s\n", argv[1]);
    return 1;
  }
  return 0;
}
