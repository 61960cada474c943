#include "framework/qt/qt_backend.h"

#include <algorithm>
#include <vector>

#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStyleFactory>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

#include "framework/application.h"
#include "framework/button.h"
#include "framework/combo_box.h"
#include "framework/dialog_builder.h"
#include "framework/form_view.h"
#include "framework/module.h"
#include "framework/qt/qt_file_filter.h"
#include "framework/qt/qt_fonts.h"
#include "framework/qt/qt_input.h"
#include "framework/qt/qt_painter.h"
#include "framework/scroll_area.h"
#include "framework/user_input.h"
#include "framework/window.h"

namespace nuv::fw::qt {
namespace {

// The property that ties a widget to its framework window (by serial, so
// that a widget outliving its window is never mistaken for another).
constexpr const char* kSerialProperty = "nuv_window_serial";

// Windows raises shorter timer periods to 10 ms; so do we, which also keeps
// a zero period from firing without pause.
constexpr uint32_t kMinimumPeriod = 10;

// The static control types in the low bits of a static's style.
constexpr uint32_t kStaticTypeMask = 0x1F;

QWidget* ParentWidget(const QtBackend& backend, const Window& window) {
  const Window* parent = window.GetParent();
  return parent != nullptr ? backend.WidgetOf(*parent) : nullptr;
}

Qt::Alignment StaticAlignment(uint32_t style) {
  Qt::Alignment alignment = (style & SS_CENTERIMAGE) != 0 ? Qt::AlignVCenter : Qt::AlignTop;
  switch (style & kStaticTypeMask) {
    case SS_CENTER:
      return alignment | Qt::AlignHCenter;
    case SS_RIGHT:
      return alignment | Qt::AlignRight;
    default:
      return alignment | Qt::AlignLeft;
  }
}

// The frames Win32 draws around a control: a thin black line (WS_BORDER),
// a thin sunken edge (SS_SUNKEN, WS_EX_STATICEDGE) or a deep one
// (WS_EX_CLIENTEDGE).
void SetFrame(QFrame& frame, uint32_t style, uint32_t ex_style) {
  if ((ex_style & WS_EX_CLIENTEDGE) != 0) {
    frame.setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  } else if ((style & WS_BORDER) != 0) {
    frame.setFrameStyle(QFrame::Box | QFrame::Plain);
    frame.setLineWidth(1);
  } else if ((style & SS_SUNKEN) != 0 || (ex_style & WS_EX_STATICEDGE) != 0) {
    frame.setFrameStyle(QFrame::Panel | QFrame::Sunken);
    frame.setLineWidth(1);
  }
}

// The narrowest a label's font is made to keep its text within its
// rectangle.
constexpr int kNarrowestStretch = 70;

// The templates were laid out for a font of the same base units but other
// letters: a label whose text fitted there may be a few pixels too wide for
// its rectangle here, and would wrap onto a line it has no room for. Such a
// label gets its font condensed until the text fits the lines it has.
void FitLabel(QLabel& label, QFont font) {
  const QRect room = label.contentsRect();
  const int lines = std::max(1, room.height() / std::max(1, QFontMetrics(font).lineSpacing()));
  const int flags = label.wordWrap() ? Qt::TextWordWrap : Qt::TextSingleLine;
  for (int stretch = font.stretch(); stretch >= kNarrowestStretch; stretch -= 3) {
    font.setStretch(stretch);
    const QFontMetrics metrics(font);
    const QRect needed =
        metrics.boundingRect(QRect(0, 0, room.width(), 1 << 20), flags, label.text());
    if (needed.height() <= lines * metrics.lineSpacing() && needed.width() <= room.width())
      break;
  }
  label.setFont(font);
}

}  // namespace

QtBackend::QtBackend()
    : timer_parent_(std::make_unique<QObject>()), input_(std::make_unique<InputRouter>(*this)) {
  // The same look on every machine: Qt's own style and the tool's font.
  if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
    QApplication::setStyle(fusion);
  QApplication::setFont(DialogFont());
}

QtBackend::~QtBackend() {
  input_.reset();
  timers_.clear();
  timer_parent_.reset();
  // The framework destroys its windows before its backend; what is left
  // belongs to nobody any more.
  for (auto& [serial, entry] : entries_) {
    if (entry.widget != nullptr && entry.widget->isWindow())
      delete entry.widget.data();
  }
  entries_.clear();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void QtBackend::SetPageArea(QWidget* area) {
  page_area_ = area;
  if (area != nullptr && area->layout() == nullptr) {
    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
  }
}

QWidget* QtBackend::WidgetOf(const Window& window) const {
  auto it = entries_.find(window.serial());
  return it != entries_.end() ? it->second.widget.data() : nullptr;
}

Window* QtBackend::WindowOf(const QWidget* widget) const {
  for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
    const QVariant serial = w->property(kSerialProperty);
    if (!serial.isValid())
      continue;
    auto it = entries_.find(serial.toULongLong());
    return it != entries_.end() ? it->second.window.get() : nullptr;
  }
  return nullptr;
}

QtBackend::Entry* QtBackend::Find(const Window& window) {
  auto it = entries_.find(window.serial());
  if (it == entries_.end() || it->second.widget == nullptr)
    return nullptr;
  return &it->second;
}

QWidget* QtBackend::OwnerWidget(const Window* owner) const {
  QWidget* widget = owner != nullptr ? WidgetOf(*owner) : nullptr;
  return widget != nullptr ? widget->window() : nullptr;
}

// --- creation ---

QWidget* QtBackend::MakeWidget(Window& window) {
  if (!window.IsTopLevel()) {
    QWidget* parent = ParentWidget(*this, window);
    if (parent == nullptr)
      return nullptr;
    if (window.kind() == WindowKind::Form) {
      auto* form = new FormWidget(*this, parent);
      form->SetBorder((window.GetStyle() & WS_BORDER) != 0);
      if (const auto* view = dynamic_cast<const FormView*>(&window)) {
        if (const DialogTemplate* found = ModuleRegistry::FindTemplate(view->template_id())) {
          const Size size = TemplateClientSize(*found);
          form->SetContentSize(QSize(size.cx, size.cy));
        }
      }
      return form;
    }
    if (window.kind() == WindowKind::ScrollArea)
      return new ScrollAreaWidget(*this, parent);
    if (IsControl(window.kind()))
      return MakeControl(window, *parent);
    return new QWidget(parent);
  }

  QWidget* owner = OwnerWidget(window.GetOwner());
  switch (window.kind()) {
    case WindowKind::Popup:
      return new PopupWidget(*this, owner);
    case WindowKind::Frame: {
      Application* app = Application::Current();
      if (page_area_ != nullptr && app != nullptr && app->page() == &window) {
        auto* page = new PageWidget(*this, *page_area_);
        page_area_->layout()->addWidget(page);
        return page;
      }
      return new TopLevelWidget(*this, owner, Qt::Window);
    }
    default: {
      Qt::WindowFlags flags = Qt::Dialog;
      if ((window.GetStyle() & WS_CAPTION) == WS_CAPTION) {
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if ((window.GetStyle() & WS_SYSMENU) != 0)
          flags |= Qt::WindowCloseButtonHint;
      } else {
        flags |= Qt::FramelessWindowHint;
      }
      return new TopLevelWidget(*this, owner, flags);
    }
  }
}

QWidget* QtBackend::MakeControl(Window& window, QWidget& parent) {
  const uint32_t style = window.GetStyle();
  const uint32_t ex_style = window.GetExStyle();
  switch (window.kind()) {
    case WindowKind::Static: {
      auto* label = new QLabel(&parent);
      label->setTextFormat(Qt::PlainText);
      label->setWordWrap(true);
      label->setAlignment(StaticAlignment(style));
      SetFrame(*label, style, ex_style);
      // A label lets the mouse through to what lies beneath, unless it asks
      // to hear of clicks.
      label->setAttribute(Qt::WA_TransparentForMouseEvents, (style & SS_NOTIFY) == 0);
      return label;
    }
    case WindowKind::Edit: {
      auto* edit = new QLineEdit(&parent);
      edit->setReadOnly((style & ES_READONLY) != 0);
      edit->setFrame((style & WS_BORDER) != 0 ||
                     (ex_style & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE)) != 0);
      if ((style & ES_CENTER) != 0)
        edit->setAlignment(Qt::AlignCenter);
      else if ((style & ES_RIGHT) != 0)
        edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
      if (edit->isReadOnly()) {
        // A read-only edit has the dialog's grey behind its text.
        QPalette palette = edit->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Window));
        edit->setPalette(palette);
      }
      WindowRef<> ref(&window);
      QObject::connect(edit, &QLineEdit::textEdited, edit, [ref](const QString& text) {
        if (Window* target = ref.get())
          UserType(*target, text.toStdString());
      });
      return edit;
    }
    case WindowKind::Button: {
      auto* button = new QPushButton(&parent);
      button->setAutoDefault(false);
      button->setDefault((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
      return button;
    }
    case WindowKind::CheckBox:
      return new CheckBoxWidget(&parent);
    case WindowKind::GroupBox: {
      auto* group = new GroupBoxWidget(&parent);
      group->setAttribute(Qt::WA_TransparentForMouseEvents);
      group->lower();  // the controls it frames lie above it
      return group;
    }
    case WindowKind::ComboBox: {
      auto* combo = new QComboBox(&parent);
      combo->setEditable((style & CBS_DROPDOWNLIST) != CBS_DROPDOWNLIST);
      WindowRef<ComboBox> ref(dynamic_cast<ComboBox*>(&window));
      QObject::connect(combo, &QComboBox::activated, combo, [ref](int index) {
        if (ComboBox* target = ref.get())
          UserPick(*target, index);
      });
      if (QLineEdit* edit = combo->lineEdit()) {
        QObject::connect(edit, &QLineEdit::textEdited, combo, [ref](const QString& text) {
          if (ComboBox* target = ref.get())
            target->SetWindowText(text.toStdString());
        });
      }
      return combo;
    }
    default:
      return new QWidget(&parent);
  }
}

void QtBackend::WindowCreated(Window& window) {
  QWidget* widget = MakeWidget(window);
  if (widget == nullptr)
    return;
  widget->setProperty(kSerialProperty, QVariant::fromValue<qulonglong>(window.serial()));
  widget->setMouseTracking(true);
  Entry& entry = entries_[window.serial()];
  entry.window = WindowRef<>(&window);
  entry.widget = widget;
  if (auto* form = dynamic_cast<FormWidget*>(widget->parentWidget()))
    form->RaiseScrollBar();
  if (auto* area = dynamic_cast<ScrollAreaWidget*>(widget->parentWidget()))
    area->RaiseScrollBar();

  widget->setEnabled(window.IsWindowEnabled());
  ApplyText(window, *widget);
  ApplyItems(window, *widget);
  if (const auto* button = dynamic_cast<const Button*>(&window))
    if (auto* check = qobject_cast<QCheckBox*>(widget))
      check->setChecked(button->GetCheck() != 0);
  ApplyGeometry(window, entry);
  ApplyFont(window, *widget);
  ApplyScroll(window, *widget);
  ApplyVisibility(window, entry);
}

// --- changes ---

void QtBackend::WindowChanged(Window& window, Change what) {
  Entry* entry = Find(window);
  if (entry == nullptr)
    return;
  QWidget& widget = *entry->widget;
  switch (what) {
    case Change::Text:
      ApplyText(window, widget);
      ApplyFont(window, widget);
      break;
    case Change::Geometry:
      if (reading_back_)
        return;
      if (window.IsTopLevel() && !entry->shown_once)
        entry->placed_by_program = true;
      ApplyGeometry(window, *entry);
      ApplyFont(window, widget);
      ApplyScroll(window, widget);  // an area's height is its bar's range
      break;
    case Change::Visibility:
      ApplyVisibility(window, *entry);
      break;
    case Change::Enabled:
      widget.setEnabled(window.IsWindowEnabled());
      break;
    case Change::Font:
      ApplyFont(window, widget);
      ApplyGeometry(window, *entry);  // a combo box's height follows its font
      break;
    case Change::Check:
      if (const auto* button = dynamic_cast<const Button*>(&window))
        if (auto* check = qobject_cast<QCheckBox*>(&widget))
          check->setChecked(button->GetCheck() != 0);
      break;
    case Change::Items:
    case Change::Selection:
      ApplyItems(window, widget);
      break;
    case Change::Scroll:
      ApplyScroll(window, widget);
      break;
  }
}

void QtBackend::ApplyScroll(Window& window, QWidget& widget) {
  auto* shown = dynamic_cast<ScrollAreaWidget*>(&widget);
  const auto* area = dynamic_cast<const ScrollArea*>(&window);
  if (shown != nullptr && area != nullptr)
    shown->SetScroll(area->ScrollLimit(), area->scroll_pos(), area->line_height());
}

void QtBackend::ApplyText(Window& window, QWidget& widget) {
  const QString text = ToQString(window.GetWindowText());
  if (auto* label = qobject_cast<QLabel*>(&widget)) {
    label->setText(text);
  } else if (auto* edit = qobject_cast<QLineEdit*>(&widget)) {
    if (edit->text() != text)
      edit->setText(text);
  } else if (auto* button = qobject_cast<QAbstractButton*>(&widget)) {
    button->setText(text);
  } else if (auto* group = qobject_cast<QGroupBox*>(&widget)) {
    group->setTitle(text);
  } else if (auto* combo = qobject_cast<QComboBox*>(&widget)) {
    if (combo->isEditable() && combo->currentText() != text)
      combo->setEditText(text);
  } else if (widget.isWindow()) {
    widget.setWindowTitle(text);
  }
}

void QtBackend::ApplyFont(Window& window, QWidget& widget) {
  const QFont font = window.GetFont().IsSet() ? ToQFont(window.GetFont()) : DialogFont();
  if (auto* label = qobject_cast<QLabel*>(&widget))
    FitLabel(*label, font);
  else if (widget.font() != font)
    widget.setFont(font);
}

void QtBackend::ApplyItems(Window& window, QWidget& widget) {
  auto* combo = qobject_cast<QComboBox*>(&widget);
  const auto* items = dynamic_cast<const ComboBox*>(&window);
  if (combo == nullptr || items == nullptr)
    return;
  const QSignalBlocker quiet(combo);
  QStringList texts;
  for (const std::string& item : items->items())
    texts.push_back(ToQString(item));
  QStringList shown;
  for (int i = 0; i < combo->count(); ++i)
    shown.push_back(combo->itemText(i));
  if (shown != texts) {
    combo->clear();
    combo->addItems(texts);
  }
  combo->setCurrentIndex(items->GetCurSel());
  if (combo->isEditable())
    combo->setEditText(ToQString(window.GetWindowText()));
}

void QtBackend::ApplyGeometry(Window& window, Entry& entry) {
  QWidget& widget = *entry.widget;
  const Rect& r = window.rect();
  if (dynamic_cast<PageWidget*>(&widget) != nullptr)
    return;  // the host's window lays its page out
  if (!window.IsTopLevel()) {
    int height = r.Height();
    // A combo box's rectangle includes its drop-down list; the box itself
    // is one line high.
    if (qobject_cast<QComboBox*>(&widget) != nullptr)
      height = std::min(height, widget.sizeHint().height());
    widget.setGeometry(r.left, r.top, r.Width(), height);
    return;
  }
  const QRect wanted(r.left, r.top, r.Width(), r.Height());
  if (window.kind() == WindowKind::Dialog && (window.GetStyle() & WS_THICKFRAME) == 0)
    widget.setFixedSize(wanted.size());
  if (widget.geometry() != wanted)
    widget.setGeometry(wanted);
}

void QtBackend::ApplyVisibility(Window& window, Entry& entry) {
  QWidget& widget = *entry.widget;
  const bool visible = (window.GetStyle() & WS_VISIBLE) != 0;
  if (!window.IsTopLevel() || !visible || dynamic_cast<PageWidget*>(&widget) != nullptr) {
    widget.setVisible(visible);
    return;
  }
  if (window.kind() == WindowKind::Dialog && !entry.shown_once && !entry.placed_by_program) {
    // A dialog made at 0,0 goes where Win32 puts it: its window at the top
    // left corner of its owner's client area.
    if (const Window* owner = window.GetOwner()) {
      const Point origin = owner->ClientToScreen(Point{0, 0});
      widget.move(origin.x, origin.y);
    }
  }
  entry.shown_once = true;
  widget.show();
  widget.raise();
  if (window.kind() != WindowKind::Popup)
    widget.activateWindow();
  ReadPlacement(window, widget);
}

void QtBackend::ReadPlacement(Window& window, QWidget& widget) {
  const QPoint origin =
      widget.isWindow() ? widget.geometry().topLeft() : widget.mapToGlobal(QPoint(0, 0));
  const Rect placed{origin.x(), origin.y(), origin.x() + widget.width(),
                    origin.y() + widget.height()};
  if (placed == window.rect())
    return;
  reading_back_ = true;
  window.MoveWindow(placed, false);
  reading_back_ = false;
  Application* app = Application::Current();
  if (app != nullptr && app->page() == &window)
    app->LayoutPage();
}

void QtBackend::WindowDestroyed(Window& window) {
  for (auto it = timers_.begin(); it != timers_.end();) {
    if (it->first.first == window.serial()) {
      if (QTimer* timer = it->second.data()) {
        timer->stop();
        timer->deleteLater();
      }
      it = timers_.erase(it);
    } else {
      ++it;
    }
  }
  auto it = entries_.find(window.serial());
  if (it == entries_.end())
    return;
  const QPointer<QWidget> widget = it->second.widget;
  entries_.erase(it);
  if (widget != nullptr) {
    widget->setProperty(kSerialProperty, QVariant());
    widget->hide();
    // Qt may be delivering an event to it right now.
    widget->deleteLater();
  }
}

void QtBackend::Invalidate(Window& window) {
  if (QWidget* widget = WidgetOf(window))
    widget->update();
}

// --- what the widgets report ---

void QtBackend::PlacementChanged(QWidget& widget) {
  Window* window = WindowOf(&widget);
  if (window != nullptr && window->IsTopLevel() && WidgetOf(*window) == &widget)
    ReadPlacement(*window, widget);
}

void QtBackend::CloseRequested(QWidget& widget) {
  Window* window = WindowOf(&widget);
  Application* app = Application::Current();
  if (window == nullptr || app == nullptr)
    return;
  if (window->kind() == WindowKind::Dialog)
    window->OnCommand(IDCANCEL, BN_CLICKED);
  else
    app->RunCommand([window] { window->DestroyWindow(); });
}

void QtBackend::Paint(QWidget& widget, QPainter& painter) {
  Window* window = WindowOf(&widget);
  Application* app = Application::Current();
  if (window == nullptr || app == nullptr)
    return;
  QtPainter framework_painter(painter);
  app->RunCommand([&] { window->OnPaint(framework_painter); });
}

void QtBackend::Scrolled(QWidget& form, int delta) {
  Window* window = WindowOf(&form);
  if (window == nullptr)
    return;
  // The controls move, as a scrolling view moves its child windows, so that
  // every rectangle the framework holds is where the control is seen.
  form.setUpdatesEnabled(false);
  const std::vector<Window*> children = window->children();
  for (Window* child : children)
    child->MoveWindow(child->rect().Offset(0, -delta), false);
  form.setUpdatesEnabled(true);
}

void QtBackend::AreaScrolled(QWidget& widget, int pos) {
  auto* area = dynamic_cast<ScrollArea*>(WindowOf(&widget));
  Application* app = Application::Current();
  if (area == nullptr || app == nullptr)
    return;
  app->RunCommand([&] { area->ScrollTo(pos); });
}

// --- modal requests ---

int QtBackend::RunModal(QDialog& dialog) {
  if (modal_hook_) {
    QTimer::singleShot(0, &dialog, [this, &dialog] {
      if (modal_hook_)
        modal_hook_(dialog);
    });
  }
  return dialog.exec();
}

int QtBackend::MessageBox(const Window* owner, std::string_view caption, std::string_view text,
                          uint32_t type) {
  QWidget* parent = OwnerWidget(owner);
  if (parent == nullptr)
    parent = QApplication::activeWindow();
  QMessageBox box(parent);
  box.setWindowTitle(ToQString(caption));
  box.setTextFormat(Qt::PlainText);
  box.setText(ToQString(text));
  switch (type & 0xF0) {
    case MB_ICONERROR:
      box.setIcon(QMessageBox::Critical);
      break;
    case MB_ICONEXCLAMATION:
      box.setIcon(QMessageBox::Warning);
      break;
    case MB_ICONINFORMATION:
      box.setIcon(QMessageBox::Information);
      break;
    default:
      box.setIcon(QMessageBox::NoIcon);
      break;
  }
  if ((type & 0xF) == MB_YESNO) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    RunModal(box);
    return static_cast<int>(box.clickedButton() == box.button(QMessageBox::Yes) ? IDYES : IDNO);
  }
  box.setStandardButtons(QMessageBox::Ok);
  RunModal(box);
  // The box has one button; closing it any other way answers the same.
  return static_cast<int>(IDOK);
}

std::optional<std::string> QtBackend::FileDialog(const FileDialogRequest& request) {
  QFileDialog dialog(OwnerWidget(request.owner));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setWindowTitle(request.open ? QStringLiteral("Open") : QStringLiteral("Save As"));
  dialog.setAcceptMode(request.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
  // Without OFN_FILEMUSTEXIST an open dialog takes any name the user types.
  dialog.setFileMode(request.open && (request.flags & OFN_FILEMUSTEXIST) != 0
                         ? QFileDialog::ExistingFile
                         : QFileDialog::AnyFile);
  const QStringList filters = ToNameFilters(request.filter);
  if (!filters.isEmpty())
    dialog.setNameFilters(filters);
  dialog.setDefaultSuffix(ToQString(request.default_extension));
  dialog.setOption(QFileDialog::DontConfirmOverwrite, (request.flags & OFN_OVERWRITEPROMPT) == 0);
  dialog.setDirectory(QDir::currentPath());
  if (!request.initial_name.empty())
    dialog.selectFile(ToQString(request.initial_name));
  if (RunModal(dialog) != QDialog::Accepted)
    return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty())
    return std::nullopt;
  return QDir::toNativeSeparators(chosen.front()).toStdString();
}

// --- timers ---

void QtBackend::SetTimer(Window& window, uint32_t id, uint32_t elapse_ms) {
  QPointer<QTimer>& timer = timers_[{window.serial(), id}];
  if (timer == nullptr) {
    timer = new QTimer(timer_parent_.get());
    const WindowRef<> ref(&window);
    QObject::connect(timer, &QTimer::timeout, timer, [ref, id] {
      Window* target = ref.get();
      Application* app = Application::Current();
      if (target != nullptr && app != nullptr)
        app->RunCommand([&] { target->OnTimer(id); });
    });
  }
  timer->start(static_cast<int>(std::max(elapse_ms, kMinimumPeriod)));
}

bool QtBackend::KillTimer(Window& window, uint32_t id) {
  auto it = timers_.find({window.serial(), id});
  if (it == timers_.end())
    return false;
  if (QTimer* timer = it->second.data()) {
    timer->stop();
    // It may be the timer whose handler is running.
    timer->deleteLater();
  }
  timers_.erase(it);
  return true;
}

// --- screen, cursor, text ---

Size QtBackend::ScreenSize() const {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr)
    return {};
  return {screen->geometry().width(), screen->geometry().height()};
}

Point QtBackend::CursorPos() const {
  if (synthetic_cursor_)
    return *synthetic_cursor_;
  const QPoint pos = QCursor::pos();
  return {pos.x(), pos.y()};
}

Rect QtBackend::MeasureText(const Font& font, std::string_view text, const Rect& bounds,
                            uint32_t flags) const {
  return qt::MeasureText(font, text, bounds, flags);
}

Font QtBackend::StatusFont() const {
  return Font{kUiFamily, 9};
}

ColorRef QtBackend::GetSysColour(SystemColour which) const {
  const QPalette palette = QToolTip::palette();
  switch (which) {
    case SystemColour::TooltipBackground:
      return ToColorRef(palette.color(QPalette::ToolTipBase));
    case SystemColour::TooltipText:
      return ToColorRef(palette.color(QPalette::ToolTipText));
  }
  return ToColorRef(palette.color(QPalette::ToolTipText));
}

}  // namespace nuv::fw::qt
