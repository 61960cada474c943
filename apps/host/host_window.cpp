#include "host_window.h"

#include <algorithm>

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

#include "framework/application.h"
#include "framework/constants.h"
#include "framework/qt/qt_backend.h"
#include "framework/window.h"

namespace nuv::host {

HostWindow::HostWindow(fw::Application& app, fw::qt::QtBackend& backend)
    : app_(app), backend_(backend), tabs_(new QTabWidget(this)) {
  setWindowTitle(QString::fromStdString(app.title()));
  setCentralWidget(tabs_);
}

HostWindow::~HostWindow() {
  ShutDown();
}

std::optional<std::string> HostWindow::Load(const std::string& path) {
  if (plugin_)
    return "a plug-in is loaded already";
  platform::Result<std::unique_ptr<fw::PluginLibrary>> opened = fw::PluginLibrary::Open(path);
  if (!opened.ok())
    return opened.error();
  plugin_ = std::move(opened.value());
  const char* title = plugin_->get_title();
  page_area_ = new QWidget;
  tabs_->addTab(page_area_, QString::fromUtf8(title != nullptr ? title : ""));
  if (plugin_->is_gui() == 0) {
    auto* layout = new QVBoxLayout(page_area_);
    layout->addWidget(new QLabel(QStringLiteral("The plug-in has no user interface.")));
    return std::nullopt;
  }
  backend_.SetPageArea(page_area_);
  fw::Window& page = app_.CreatePage();
  int made = 0;
  app_.RunCommand([&] { made = plugin_->init(&page, 0); });
  app_.LayoutPage();
  if (made == 0)
    return "the plug-in could not make its page (dll_init returned 0)";
  return std::nullopt;
}

fw::Window* HostWindow::Pane() const {
  const fw::Window* page = app_.page();
  return page != nullptr ? page->GetDlgItem(fw::AFX_IDW_PANE_FIRST) : nullptr;
}

void HostWindow::FitPage(bool within_screen) {
  const fw::Window* pane = Pane();
  const QWidget* pane_widget = pane != nullptr ? backend_.WidgetOf(*pane) : nullptr;
  if (pane_widget == nullptr || page_area_ == nullptr)
    return;
  // The window grows by what its page lacks; everything around the page
  // (tab bar, frames) keeps its size.
  QSize wanted = size() + (pane_widget->sizeHint() - page_area_->size());
  if (within_screen) {
    if (const QScreen* screen = this->screen()) {
      const QSize room = screen->availableGeometry().size() - (frameSize() - size());
      wanted = wanted.boundedTo(room);
    }
  }
  resize(wanted);
}

void HostWindow::ShutDown() {
  if (!plugin_)
    return;
  // The plug-in's code runs while its windows go; it is unloaded last.
  app_.DestroyPage();
  while (!app_.TopLevelWindows().empty())
    app_.TopLevelWindows().front()->DestroyWindow();
  app_.Flush();
  plugin_->deinit();
  app_.Flush();
  plugin_.reset();
}

void HostWindow::closeEvent(QCloseEvent* event) {
  ShutDown();
  event->accept();
}

}  // namespace nuv::host
