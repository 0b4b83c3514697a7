#include "framework/Dialog.h"

#include "resources/VirtualKeys.h"

#include <algorithm>

// --- CControl ---------------------------------------------------------------------------------

namespace
{
IHostWindow* WindowOf(const CDialog* dialog)
{
    return dialog != nullptr ? dialog->GetHostWindow() : nullptr;
}
} // namespace

void CControl::Attach(CDialog& owner, int id)
{
    m_pOwner = &owner;
    m_nId = id;
}

void CControl::SetWindowText(std::string_view text)
{
    if (IHostWindow* window = WindowOf(m_pOwner))
        window->SetControlText(m_nId, text);
}

std::string CControl::GetWindowText() const
{
    const IHostWindow* window = WindowOf(m_pOwner);
    return window != nullptr ? window->GetControlText(m_nId) : std::string();
}

void CControl::SetFocus()
{
    if (IHostWindow* window = WindowOf(m_pOwner))
        window->SetFocusTo(m_nId);
}

Rect CControl::GetClientRect() const
{
    const IHostWindow* window = WindowOf(m_pOwner);
    return window != nullptr ? window->GetControlClientRect(m_nId) : Rect{};
}

void CControl::ScreenToClient(Point& point) const
{
    if (const IHostWindow* window = WindowOf(m_pOwner))
    {
        const Point origin = window->GetControlScreenOrigin(m_nId);
        point.x -= origin.x;
        point.y -= origin.y;
    }
}

void CScrollBar::SetScrollRange(int minPos, int maxPos, Redraw redraw)
{
    if (IHostWindow* window = WindowOf(m_pOwner))
        window->SetScrollRange(m_nId, minPos, maxPos, redraw);
}

int CScrollBar::SetScrollPos(int pos, Redraw redraw)
{
    IHostWindow* window = WindowOf(m_pOwner);
    if (window == nullptr)
        return 0;
    const int previous = window->GetScrollPos(m_nId);
    window->SetScrollPos(m_nId, pos, redraw);
    return previous;
}

int CScrollBar::GetScrollPos() const
{
    const IHostWindow* window = WindowOf(m_pOwner);
    return window != nullptr ? window->GetScrollPos(m_nId) : 0;
}

void CStatic::SetPixelSource(const IPixelSource* source)
{
    if (IHostWindow* window = WindowOf(m_pOwner))
        window->SetPixelSource(m_nId, source);
}

bool CMenu::AppendMenu(unsigned flags, unsigned id, std::string_view text)
{
    IHostWindow* window = m_owner.GetHostWindow();
    if (window == nullptr)
        return false;
    if ((flags & kMfSeparator) != 0)
        window->AppendSystemMenuSeparator();
    else
        window->AppendSystemMenuItem(id, text);
    return true;
}

// --- CDialog ----------------------------------------------------------------------------------

CDialog::CDialog(int templateId, CDialog* pParent) : m_nTemplateId(templateId), m_pParent(pParent) {}

CDialog::CDialog(const DialogTemplate& dialog, CDialog* pParent)
    : m_nTemplateId(dialog.id), m_pParent(pParent), m_pOwnTemplate(&dialog)
{
}

const DialogTemplate* CDialog::FindTemplate(int templateId) const
{
    if (m_pOwnTemplate != nullptr && m_pOwnTemplate->id == templateId)
        return m_pOwnTemplate;
    return FindDialogTemplate(templateId);
}

CDialog::~CDialog()
{
    DestroyWindow();
}

bool CDialog::MakeWindow(int templateId, CDialog* pParent, WindowMode mode)
{
    IHost* host = GetHost();
    const DialogTemplate* dialog = FindTemplate(templateId);
    if (host == nullptr || dialog == nullptr || m_pWindow != nullptr)
        return false;
    m_nTemplateId = templateId;
    m_pParent = pParent;
    m_pTemplate = dialog;
    m_bModal = mode == WindowMode::Modal;
    m_pWindow = host->CreateHostWindow(*this, *dialog, pParent);
    if (m_pWindow == nullptr)
        return false;
    if ((dialog->style & kDialogSystemMenu) != 0)
        m_pSystemMenu = std::make_unique<CMenu>(*this);
    m_pWindow->SetTitle(dialog->caption);
    if (OnInitDialog())
    {
        // The first control that takes the focus: an enabled edit, button, check box or scroll bar.
        for (const ControlTemplate& control : dialog->controls)
        {
            if (control.id == kIdcStatic || (control.style & kStyleTabStop) == 0 ||
                !m_pWindow->IsControlEnabled(control.id))
                continue;
            m_pWindow->SetFocusTo(control.id);
            break;
        }
    }
    return true;
}

bool CDialog::Create(int templateId, CDialog* pParent)
{
    if (!MakeWindow(templateId, pParent, WindowMode::Modeless))
        return false;
    if ((m_pTemplate->style & kDialogVisible) != 0)
        m_pWindow->Show(ShowCommand::Show);
    return true;
}

int CDialog::DoModal()
{
    if (!MakeWindow(m_nTemplateId, m_pParent, WindowMode::Modal))
        return -1;
    int result = kIdCancel;
    {
        const CModalScope modal;
        m_pWindow->Show(ShowCommand::Show);
        result = GetHost()->RunModal(*this, *m_pWindow);
    }
    DestroyWindow();
    return result;
}

void CDialog::EndDialog(int result)
{
    if (m_pWindow == nullptr)
        return;
    m_pWindow->Show(ShowCommand::Hide);
    if (m_bModal && GetHost() != nullptr)
        GetHost()->EndModal(*m_pWindow, result);
}

void CDialog::DestroyWindow()
{
    m_pSystemMenu.reset();
    m_pWindow.reset();
    m_boundControls.clear();
}

bool CDialog::OnInitDialog()
{
    UpdateData(ExchangeDirection::ToControls);
    return true;
}

void CDialog::DoDataExchange(CDataExchange*) {}

bool CDialog::PreTranslateMessage(Message& msg)
{
    if (!CDialog::ConsumesKey(msg))
        return false;
    // A dialog's buttons end it, so Tab to Cancel and Enter must cancel. The main window's Enter
    // stays its default action whatever has the focus: there it has always done nothing.
    const int button = m_bModal ? FocusedPushButton() : 0;
    if (msg.id == kVkEscape)
        OnCancel();
    else if (button != 0)
        OnWndMsg(MakeIdMessage(MessageKind::ButtonClicked, button)); // as a click on it
    else
        OnOK(); // the default action, also from an edit
    return true;
}

int CDialog::FocusedPushButton() const
{
    if (m_pWindow == nullptr || m_pTemplate == nullptr)
        return 0;
    const int focus = m_pWindow->GetFocusId();
    if (focus == 0 || focus == kIdcStatic || !m_pWindow->IsControlEnabled(focus))
        return 0;
    for (const ControlTemplate& control : m_pTemplate->controls)
        if (control.id == focus)
            return control.kind == ControlKind::PushButton ? focus : 0;
    return 0;
}

bool CDialog::ConsumesKey(const Message& msg) const
{
    return msg.kind == MessageKind::KeyDown && msg.modifiers == kModNone &&
           (msg.id == kVkReturn || msg.id == kVkEscape);
}

void CDialog::OnOK()
{
    if (UpdateData(ExchangeDirection::FromControls))
        EndDialog(kIdOk);
}

void CDialog::OnCancel()
{
    EndDialog(kIdCancel);
}

bool CDialog::OnWndMsg(const Message& msg)
{
    switch (msg.kind)
    {
    case MessageKind::Close:
        OnCancel();
        return true;
    case MessageKind::SysCommand:
        DefaultSysCommand(static_cast<unsigned>(msg.id));
        return true;
    case MessageKind::Command:
    case MessageKind::ButtonClicked:
        // The standard buttons of a dialog without a map entry for them.
        if (msg.id == kIdOk)
        {
            OnOK();
            return true;
        }
        if (msg.id == kIdCancel)
        {
            OnCancel();
            return true;
        }
        return false;
    default:
        return false;
    }
}

void CDialog::DefaultSysCommand(unsigned id)
{
    switch (id & kScCommandMask)
    {
    case kScMinimize:
        ShowWindow(ShowCommand::Minimize);
        break;
    case kScRestore:
        ShowWindow(ShowCommand::Restore);
        break;
    case kScClose:
        OnWndMsg(MakeMessage(MessageKind::Close));
        break;
    default:
        break; // move, size and maximise do nothing on a fixed-size window
    }
}

void CDialog::SetWindowText(std::string_view text)
{
    if (m_pWindow != nullptr)
        m_pWindow->SetTitle(text);
}

std::string CDialog::GetWindowText() const
{
    return m_pWindow != nullptr ? m_pWindow->GetTitle() : std::string();
}

void CDialog::ShowWindow(ShowCommand command)
{
    if (m_pWindow != nullptr)
        m_pWindow->Show(command);
}

bool CDialog::IsIconic() const
{
    return m_pWindow != nullptr && m_pWindow->IsIconic();
}

bool CDialog::IsWindowVisible() const
{
    return m_pWindow != nullptr && m_pWindow->IsVisible();
}

void CDialog::SetIcon(HICON icon, IconSize size)
{
    if (m_pWindow != nullptr)
        m_pWindow->SetIcon(icon, size);
}

CMenu* CDialog::GetSystemMenu()
{
    return m_pSystemMenu.get();
}

void CDialog::ScreenToClient(Point& point) const
{
    if (m_pWindow != nullptr)
    {
        const Point origin = m_pWindow->GetClientScreenOrigin();
        point.x -= origin.x;
        point.y -= origin.y;
    }
}

void CDialog::SetDlgItemText(int id, std::string_view text)
{
    if (m_pWindow != nullptr)
        m_pWindow->SetControlText(id, text);
}

std::string CDialog::GetDlgItemText(int id) const
{
    return m_pWindow != nullptr ? m_pWindow->GetControlText(id) : std::string();
}

void CDialog::CheckDlgButton(int id, CheckState state)
{
    if (m_pWindow != nullptr)
        m_pWindow->SetCheck(id, state);
}

bool CDialog::IsDlgButtonChecked(int id) const
{
    return m_pWindow != nullptr && m_pWindow->GetCheck(id);
}

int CDialog::GetFocusId() const
{
    return m_pWindow != nullptr ? m_pWindow->GetFocusId() : 0;
}

CScrollBar* CDialog::FindScrollBar(int id)
{
    for (CControl* control : m_boundControls)
        if (control->GetDlgCtrlID() == id)
            if (auto* bar = dynamic_cast<CScrollBar*>(control))
                return bar;
    return nullptr;
}

void CDialog::RegisterBoundControl(CControl& control)
{
    if (std::find(m_boundControls.begin(), m_boundControls.end(), &control) == m_boundControls.end())
        m_boundControls.push_back(&control);
}
