// The desktop loaders through their toolkits, as viewers use them: Qt finds
// the plug-in in the build tree, gdk-pixbuf the module through a private
// loaders cache and the MIME types through a private database (ctest sets
// the environment). Every sample card and pack entry must give the dots of
// krt's PNG of it (KRT_REFERENCES: <card>.png, pack/<entry>.png).
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QImageReader>
#include <QProcess>

namespace {

QString References() { return QString::fromLocal8Bit(qgetenv("KRT_REFERENCES")); }
const QString kSamples = QStringLiteral(KRT_SAMPLES_DIR);
const QStringList kCards = QDir(kSamples).entryList({"*.2D"}, QDir::Files, QDir::Name);
QString CardReference(const QString& card) {
  return References() + "/" + QFileInfo(card).baseName() + ".png";
}
QStringList PackReferences() {
  QStringList entries = QDir(References() + "/pack").entryList({"*.png"}, QDir::Files, QDir::Name);
  for (QString& entry : entries) entry = References() + "/pack/" + entry;
  return entries;
}
QByteArray Contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The same colours; with `indexed`, indexed where krt's PNG is indexed, with
// the same dot values.
void ExpectSameDots(const QImage& got, const QString& reference, bool indexed = true) {
  const QImage want(reference);
  ASSERT_FALSE(want.isNull()) << reference.toStdString();
  EXPECT_EQ(got.convertToFormat(QImage::Format_RGB888),
            want.convertToFormat(QImage::Format_RGB888));
  if (!indexed || want.format() != QImage::Format_Indexed8) return;
  ASSERT_EQ(got.format(), QImage::Format_Indexed8);
  for (int y = 0; y < want.height(); ++y) {
    ASSERT_EQ(memcmp(got.constScanLine(y), want.constScanLine(y), size_t(want.width())), 0) << y;
  }
}

// The file read through a pipe, from `cat`: a sequential device.
void PipeFrom(const QString& path, QProcess* cat) {
  cat->start("cat", {path}, QIODevice::ReadOnly);
  ASSERT_TRUE(cat->waitForFinished());
}

TEST(QtPlugin, EveryCardByNameAndFromAPipe) {
  ASSERT_EQ(kCards.size(), 4);
  for (const QString& card : kCards) {
    QImageReader by_name(kSamples + "/" + card);
    EXPECT_EQ(by_name.size(), QImage(CardReference(card)).size());
    ExpectSameDots(by_name.read(), CardReference(card));
    QProcess pipe;
    PipeFrom(kSamples + "/" + card, &pipe);
    ExpectSameDots(QImageReader(&pipe).read(), CardReference(card));
  }
}

TEST(QtPlugin, PackEntriesAsImagesFromFileAndPipe) {
  const QStringList entries = PackReferences();
  ASSERT_EQ(entries.size(), 4);
  QProcess pipe;
  PipeFrom(kSamples + "/samples.BIN", &pipe);
  ASSERT_TRUE(pipe.isSequential());
  QImageReader from_file(kSamples + "/samples.BIN"), from_pipe(&pipe);
  for (QImageReader* reader : {&from_file, &from_pipe}) {
    ASSERT_EQ(reader->imageCount(), entries.size());
    for (int k = 0; k < entries.size(); ++k) {
      EXPECT_TRUE(k == 0 || reader->jumpToNextImage());
      EXPECT_EQ(reader->currentImageNumber(), k);
      ExpectSameDots(reader->read(), entries[k]);
    }
    EXPECT_FALSE(reader->jumpToNextImage());
    ASSERT_TRUE(reader->jumpToImage(1));
    ExpectSameDots(reader->read(), entries[1]);
  }
}

// The first card cut inside its sections, with its section table pointing
// past the end, and cut after the header.
QList<QByteArray> DamagedCards() {
  const QByteArray card = Contents(kSamples + "/" + kCards.first());
  QByteArray far_sections = card;
  far_sections[0x30] = char(0x7F);
  return {card.left(card.size() / 2), far_sections, card.left(256)};
}

TEST(QtPlugin, DamagedCardsAreRefused) {
  for (const QByteArray& damaged : DamagedCards()) {
    QBuffer buffer;
    buffer.setData(damaged);
    QImageReader reader(&buffer, "krt");
    EXPECT_TRUE(reader.read().isNull());
    EXPECT_EQ(reader.error(), QImageReader::InvalidDataError);
  }
}

QImage Image(GdkPixbuf* pixbuf) {
  return QImage(gdk_pixbuf_get_pixels(pixbuf), gdk_pixbuf_get_width(pixbuf),
                gdk_pixbuf_get_height(pixbuf), gdk_pixbuf_get_rowstride(pixbuf),
                QImage::Format_RGB888)
      .copy();
}

// The whole file by name, and its bytes fed 7 at a time to a loader told
// nothing of their type.
TEST(PixbufLoader, EveryCardAndThePacksFirstEntry) {
  QStringList files, references;
  for (const QString& card : kCards)
    files << kSamples + "/" + card, references << CardReference(card);
  files << kSamples + "/samples.BIN", references << PackReferences().first();
  for (int k = 0; k < files.size(); ++k) {
    GError* error = nullptr;
    GdkPixbuf* whole = gdk_pixbuf_new_from_file(files[k].toLocal8Bit().constData(), &error);
    ASSERT_NE(whole, nullptr) << error->message;
    EXPECT_EQ(gdk_pixbuf_get_n_channels(whole), 3);
    ExpectSameDots(Image(whole), references[k], false);
    const QByteArray bytes = Contents(files[k]);
    GdkPixbufLoader* loader = gdk_pixbuf_loader_new();
    for (int at = 0; at < bytes.size(); at += 7) {
      ASSERT_TRUE(gdk_pixbuf_loader_write(loader,
                                          reinterpret_cast<const guchar*>(bytes.constData()) + at,
                                          gsize(qMin(7, bytes.size() - at)), &error));
    }
    ASSERT_TRUE(gdk_pixbuf_loader_close(loader, &error)) << error->message;
    ExpectSameDots(Image(gdk_pixbuf_loader_get_pixbuf(loader)), references[k], false);
    g_object_unref(loader);
    g_object_unref(whole);
  }
}

TEST(PixbufLoader, DamagedCardsGiveAnError) {
  for (const QByteArray& damaged : DamagedCards()) {
    GError* error = nullptr;
    GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_mime_type("image/x-krt-screen", &error);
    ASSERT_NE(loader, nullptr) << error->message;
    if (gdk_pixbuf_loader_write(loader, reinterpret_cast<const guchar*>(damaged.constData()),
                                gsize(damaged.size()), &error)) {
      EXPECT_FALSE(gdk_pixbuf_loader_close(loader, &error));
    }
    ASSERT_NE(error, nullptr);
    EXPECT_TRUE(g_str_has_prefix(error->message, "Screen file:")) << error->message;
    g_error_free(error);
    g_object_unref(loader);
  }
}

}  // namespace
