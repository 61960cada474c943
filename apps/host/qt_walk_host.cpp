#include "qt_walk_host.h"

#include <utility>

#include <QDialog>
#include <QEventLoop>
#include <QFileDialog>
#include <QFontInfo>
#include <QImage>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

#include "framework/qt/answer.h"
#include "framework/qt/qt_backend.h"
#include "framework/qt/qt_fonts.h"
#include "framework/qt/render_check.h"
#include "framework/window.h"
#include "host_window.h"

namespace nuv::host {

QtWalkHost::QtWalkHost(HostWindow& window, fw::qt::QtBackend& backend)
    : window_(window), backend_(backend) {}

QtWalkHost::~QtWalkHost() {
  backend_.SetModalHook(nullptr);
}

fw::Window* QtWalkHost::ShowPage() {
  window_.show();
  Settle(100);
  window_.FitPage(false);
  Settle(200);
  return window_.Pane();
}

void QtWalkHost::Settle(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

std::optional<std::string> QtWalkHost::FontProblem() const {
  const QFontInfo info(fw::qt::DialogFont());
  if (info.family() == QString::fromLatin1(fw::qt::kUiFamily))
    return std::nullopt;
  return "the dialog font is " + info.family().toStdString() + ", not " + fw::qt::kUiFamily +
         " (is fonts-dejavu-core installed?)";
}

void QtWalkHost::SetModalHandler(std::function<void(Modal)> handler) {
  if (!handler) {
    backend_.SetModalHook(nullptr);
    return;
  }
  backend_.SetModalHook([this, handler = std::move(handler)](QDialog& dialog) {
    modal_ = &dialog;
    handler(qobject_cast<QFileDialog*>(&dialog) != nullptr ? Modal::kFileDialog
                                                           : Modal::kMessageBox);
    modal_ = nullptr;
  });
}

WalkHost::Shot QtWalkHost::Shoot(QWidget* widget, bool custom_painted) {
  Shot shot;
  if (widget == nullptr || !widget->isVisible()) {
    shot.problems.emplace_back("the window is not shown");
    return shot;
  }
  const QImage image = widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
  if (image.isNull() || image.width() == 0 || image.height() == 0) {
    shot.problems.emplace_back("the window could not be drawn");
    return shot;
  }
  shot.problems = fw::qt::FindUnrenderedTexts(*widget, image);
  if (custom_painted) {
    // Its text is painted, not held by widgets: look inside its frame.
    const QRect inside = image.rect().adjusted(3, 3, -3, -3);
    if (fw::qt::DarkPixelCount(image, inside) == 0)
      shot.problems.emplace_back("its text did not render");
  }
  shot.picture.width = image.width();
  shot.picture.height = image.height();
  shot.picture.pixels.reserve(static_cast<size_t>(image.width()) * image.height());
  for (int y = 0; y < image.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x)
      shot.picture.pixels.push_back(row[x] & 0xFFFFFF);
  }
  return shot;
}

WalkHost::Shot QtWalkHost::ShootPage() {
  return Shoot(&window_, false);
}

WalkHost::Shot QtWalkHost::ShootWindow(fw::Window& window) {
  return Shoot(backend_.WidgetOf(window), window.kind() == fw::WindowKind::Popup);
}

WalkHost::Shot QtWalkHost::ShootModal() {
  return Shoot(modal_, false);
}

bool QtWalkHost::AnswerFileDialog(const std::filesystem::path& path) {
  auto* files = qobject_cast<QFileDialog*>(modal_);
  return files != nullptr &&
         fw::qt::AnswerFileDialog(*files, QString::fromStdString(path.string()));
}

void QtWalkHost::CloseModal() {
  if (modal_ == nullptr)
    return;
  if (qobject_cast<QFileDialog*>(modal_) != nullptr)
    modal_->reject();
  else
    modal_->accept();
}

}  // namespace nuv::host
