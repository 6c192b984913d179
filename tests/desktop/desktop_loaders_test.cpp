// The desktop loaders through their toolkits, as viewers use them: Qt's
// QImageReader finds the plug-in in the build tree, gdk-pixbuf finds the
// module through a private loaders cache and the MIME types through a
// private database (the environment ctest sets). Every sample card and
// every pack entry must give the dots of the PNG krt renders for it.
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>

namespace {

// KRT_REFERENCES: krt's PNG of every card (<card>.png) and, under pack/,
// of every entry of the sample pack.
QString References() { return QString::fromLocal8Bit(qgetenv("KRT_REFERENCES")); }
QString Samples() { return QStringLiteral(KRT_SAMPLES_DIR); }

QStringList Cards() { return QDir(Samples()).entryList({"*.2D"}, QDir::Files, QDir::Name); }
QStringList PackEntries() {
  return QDir(References() + "/pack").entryList({"*.png"}, QDir::Files, QDir::Name);
}

QByteArray Contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Indexed where krt's PNG is indexed, with the same dot values and colours.
void ExpectSameDots(const QImage& got, const QString& reference_path) {
  const QImage want(reference_path);
  ASSERT_FALSE(want.isNull()) << reference_path.toStdString();
  ASSERT_EQ(got.size(), want.size());
  if (want.format() != QImage::Format_Indexed8) {
    EXPECT_EQ(got.convertToFormat(QImage::Format_RGB888),
              want.convertToFormat(QImage::Format_RGB888));
    return;
  }
  ASSERT_EQ(got.format(), QImage::Format_Indexed8);
  for (int y = 0; y < want.height(); ++y) {
    for (int x = 0; x < want.width(); ++x) {
      ASSERT_EQ(got.pixelIndex(x, y), want.pixelIndex(x, y)) << x << "," << y;
      ASSERT_EQ(got.pixel(x, y), want.pixel(x, y)) << x << "," << y;
    }
  }
}

// A device read front to back only, as a pipe: what was read is gone.
class OneWayDevice : public QIODevice {
 public:
  explicit OneWayDevice(const QByteArray& bytes) : bytes_(bytes) { open(ReadOnly); }
  bool isSequential() const override { return true; }
  qint64 bytesAvailable() const override {
    return bytes_.size() - at_ + QIODevice::bytesAvailable();
  }

 protected:
  qint64 readData(char* data, qint64 most) override {
    const qint64 count = qMin(most, qint64(bytes_.size()) - at_);
    memcpy(data, bytes_.constData() + at_, size_t(count));
    at_ += count;
    return count;
  }
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  QByteArray bytes_;
  qint64 at_ = 0;
};

TEST(QtPlugin, EveryCardByNameAndByContent) {
  ASSERT_EQ(Cards().size(), 4);
  for (const QString& card : Cards()) {
    SCOPED_TRACE(card.toStdString());
    QImageReader by_name(Samples() + "/" + card);
    EXPECT_EQ(by_name.size(),
              QImage(References() + "/" + QFileInfo(card).baseName() + ".png").size());
    ExpectSameDots(by_name.read(), References() + "/" + QFileInfo(card).baseName() + ".png");
    OneWayDevice pipe(Contents(Samples() + "/" + card));
    QImageReader by_content(&pipe);
    ExpectSameDots(by_content.read(), References() + "/" + QFileInfo(card).baseName() + ".png");
  }
}

TEST(QtPlugin, PackEntriesAsImagesOnFileAndPipe) {
  const QStringList entries = PackEntries();
  ASSERT_EQ(entries.size(), 4);
  OneWayDevice pipe(Contents(Samples() + "/samples.BIN"));
  QImageReader from_file(Samples() + "/samples.BIN");
  QImageReader from_pipe(&pipe);
  for (QImageReader* reader : {&from_file, &from_pipe}) {
    ASSERT_EQ(reader->imageCount(), entries.size());
    for (int k = 0; k < entries.size(); ++k) {
      SCOPED_TRACE(entries[k].toStdString());
      if (k > 0) {
        ASSERT_TRUE(reader->jumpToNextImage());
      }
      EXPECT_EQ(reader->currentImageNumber(), k);
      ExpectSameDots(reader->read(), References() + "/pack/" + entries[k]);
    }
    EXPECT_FALSE(reader->jumpToNextImage());
    ASSERT_TRUE(reader->jumpToImage(1));
    ExpectSameDots(reader->read(), References() + "/pack/" + entries[1]);
  }
}

// Damaged copies of the first card: cut inside its sections, its section
// table pointing past the end, nothing but the header.
QList<QByteArray> DamagedCards() {
  const QByteArray card = Contents(Samples() + "/" + Cards().first());
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
    EXPECT_EQ(reader.error(), QImageReader::InvalidDataError) << reader.errorString().toStdString();
  }
}

// A pixbuf's RGB rows, gaps at the row ends left out.
std::vector<uint8_t> Rgb(GdkPixbuf* pixbuf) {
  const int width = gdk_pixbuf_get_width(pixbuf);
  const int channels = gdk_pixbuf_get_n_channels(pixbuf);
  std::vector<uint8_t> rgb;
  for (int y = 0; y < gdk_pixbuf_get_height(pixbuf); ++y) {
    const guchar* row = gdk_pixbuf_get_pixels(pixbuf) + y * gdk_pixbuf_get_rowstride(pixbuf);
    for (int x = 0; x < width; ++x)
      rgb.insert(rgb.end(), row + x * channels, row + x * channels + 3);
  }
  return rgb;
}

// The whole file by name, and the same bytes fed 7 at a time to a loader
// that is told nothing of the type.
void ExpectPixbufsOf(const QString& file, const QString& reference) {
  SCOPED_TRACE(file.toStdString());
  GError* error = nullptr;
  GdkPixbuf* want = gdk_pixbuf_new_from_file(reference.toLocal8Bit().constData(), &error);
  ASSERT_NE(want, nullptr);
  GdkPixbuf* whole = gdk_pixbuf_new_from_file(file.toLocal8Bit().constData(), &error);
  ASSERT_NE(whole, nullptr) << error->message;
  EXPECT_EQ(Rgb(whole), Rgb(want));
  const QByteArray bytes = Contents(file);
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new();
  for (int at = 0; at < bytes.size(); at += 7) {
    ASSERT_TRUE(gdk_pixbuf_loader_write(loader,
                                        reinterpret_cast<const guchar*>(bytes.constData()) + at,
                                        gsize(qMin(7, bytes.size() - at)), &error))
        << error->message;
  }
  ASSERT_TRUE(gdk_pixbuf_loader_close(loader, &error)) << error->message;
  EXPECT_EQ(Rgb(gdk_pixbuf_loader_get_pixbuf(loader)), Rgb(want));
  for (GObject* object : {G_OBJECT(loader), G_OBJECT(whole), G_OBJECT(want)})
    g_object_unref(object);
}

TEST(PixbufLoader, EveryCardAndThePacksFirstEntry) {
  for (const QString& card : Cards()) {
    ExpectPixbufsOf(Samples() + "/" + card,
                    References() + "/" + QFileInfo(card).baseName() + ".png");
  }
  ExpectPixbufsOf(Samples() + "/samples.BIN", References() + "/pack/" + PackEntries().first());
}

TEST(PixbufLoader, DamagedCardsGiveAnError) {
  for (const QByteArray& damaged : DamagedCards()) {
    GError* error = nullptr;
    GdkPixbufLoader* loader = gdk_pixbuf_loader_new_with_mime_type("image/x-krt-screen", &error);
    ASSERT_NE(loader, nullptr) << error->message;
    gdk_pixbuf_loader_write(loader, reinterpret_cast<const guchar*>(damaged.constData()),
                            gsize(damaged.size()), &error);
    if (error == nullptr) {
      EXPECT_FALSE(gdk_pixbuf_loader_close(loader, &error));
    }
    ASSERT_NE(error, nullptr);
    EXPECT_TRUE(g_str_has_prefix(error->message, "Screen file:")) << error->message;
    g_error_free(error);
    g_object_unref(loader);
  }
}

}  // namespace
