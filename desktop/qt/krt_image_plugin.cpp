// The Qt image I/O plug-in: screen files as single pictures, packs as
// multi-image files with one picture per entry. Every Qt application that
// reads pictures through QImageReader opens them with it.
#include <QByteArray>
#include <QIODevice>
#include <QImage>
#include <QImageIOHandler>
#include <QImageIOPlugin>
#include <QVariant>
#include <QVector>
#include <QtGlobal>
#include <vector>

#include "desktop_screens.h"

namespace {

using krt::desktop::FileKind;
using krt::desktop::PictureStatus;
using krt::desktop::ScreenSlice;

FileKind PeekKind(QIODevice* device) {
  if (device == nullptr || !device->isReadable()) return FileKind::kNeither;
  const QByteArray first = device->peek(qint64(krt::desktop::kSniffBytes));
  const uint64_t length = device->isSequential() ? UINT64_MAX : uint64_t(device->size());
  return krt::desktop::Sniff(reinterpret_cast<const uint8_t*>(first.constData()),
                             size_t(first.size()), length);
}

class ScreenHandler : public QImageIOHandler {
 public:
  bool canRead() const override {
    if (loaded_) return current_ < slices_.size();
    const FileKind kind = PeekKind(device());
    if (kind == FileKind::kNeither) return false;
    setFormat(kind == FileKind::kPack ? "krtpack" : "krt");
    return true;
  }

  bool read(QImage* image) override {
    if (!Load()) return Fail("the file holds no screen");
    if (current_ >= slices_.size()) return Fail("no picture past the pack's last entry");
    const ScreenSlice slice = slices_[current_];
    const uint8_t* screen = Bytes() + slice.offset;
    krt::format::ScreenDescription measured;
    PictureStatus status = krt::desktop::Measure(screen, slice.length, &measured);
    if (status != PictureStatus::kReady) return Fail(krt::desktop::Explain(status));

    const bool indexed = measured.depth != 24;
    QImage picture(measured.width_px, measured.height_px,
                   indexed ? QImage::Format_Indexed8 : QImage::Format_RGB888);
    if (picture.isNull()) return Fail(krt::desktop::Explain(PictureStatus::kOutOfMemory));
    uint8_t colours[3 * 256] = {};
    krt::desktop::PictureTarget target;
    target.rows = picture.bits();
    target.row_stride = size_t(picture.bytesPerLine());
    target.indexed = indexed;
    target.colours = colours;
    status = krt::desktop::Draw(screen, slice.length, measured, target);
    if (status != PictureStatus::kReady) return Fail(krt::desktop::Explain(status));
    if (indexed) {
      QVector<QRgb> table(256);
      for (int k = 0; k < 256; ++k) {
        table[k] = qRgb(colours[3 * k], colours[3 * k + 1], colours[3 * k + 2]);
      }
      picture.setColorTable(table);
    }
    // Like a multi-page document: reading stays on the entry, jumping moves.
    *image = picture;
    return true;
  }

  bool supportsOption(ImageOption option) const override { return option == Size; }

  QVariant option(ImageOption option) const override {
    if (option != Size || !Load() || current_ >= slices_.size()) return {};
    const ScreenSlice slice = slices_[current_];
    krt::format::ScreenDescription measured;
    if (krt::desktop::Measure(Bytes() + slice.offset, slice.length, &measured) !=
        PictureStatus::kReady) {
      return {};
    }
    return QSize(measured.width_px, measured.height_px);
  }

  int imageCount() const override { return Load() ? int(slices_.size()) : 0; }
  int currentImageNumber() const override { return int(current_ < slices_.size() ? current_ : 0); }
  bool jumpToImage(int number) override {
    if (!Load() || number < 0 || size_t(number) >= slices_.size()) return false;
    current_ = size_t(number);
    return true;
  }
  bool jumpToNextImage() override { return jumpToImage(int(current_) + 1); }
  // Packs are browsed, not played.
  int loopCount() const override { return 0; }
  int nextImageDelay() const override { return 0; }

 private:
  const uint8_t* Bytes() const { return reinterpret_cast<const uint8_t*>(bytes_.constData()); }

  // The whole device, read once: a pipe cannot be read twice.
  bool Load() const {
    if (!loaded_) {
      loaded_ = true;
      if (device() != nullptr) bytes_ = device()->readAll();
      const auto length = size_t(bytes_.size());
      const size_t count = krt::desktop::ListScreens(Bytes(), length, nullptr, 0);
      slices_.resize(count);
      krt::desktop::ListScreens(Bytes(), length, slices_.data(), count);
    }
    return !slices_.empty();
  }

  // Qt 5's handlers cannot hand their reader a message, so the reason goes
  // to the log and QImageReader reports invalid data.
  static bool Fail(const char* reason) {
    qWarning("krt image plug-in: %s", reason);
    return false;
  }

  mutable bool loaded_ = false;
  mutable QByteArray bytes_;
  mutable std::vector<ScreenSlice> slices_;
  size_t current_ = 0;
};

class ScreenPlugin : public QImageIOPlugin {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QImageIOHandlerFactoryInterface" FILE "krt.json")

 public:
  Capabilities capabilities(QIODevice* device, const QByteArray& format) const override {
    if (format == "krt" || format == "krtpack" || format == "2d" || format == "s2d") {
      return CanRead;
    }
    // Another plug-in's name is left to it; without one, the content decides.
    if (!format.isEmpty()) return {};
    return PeekKind(device) != FileKind::kNeither ? Capabilities(CanRead) : Capabilities();
  }

  QImageIOHandler* create(QIODevice* device, const QByteArray& format) const override {
    auto* handler = new ScreenHandler;
    handler->setDevice(device);
    handler->setFormat(format);
    return handler;
  }
};

}  // namespace

#include "krt_image_plugin.moc"
