#include "app/ShapePropertiesDlg.h"

#include "app/CommandDialogs.h"
#include "framework/DataExchange.h"
#include "resources/ResourceIds.h"

#include <string_view>
#include <utility>
#include <variant>

namespace
{
std::string_view PromptFor(ShapeKind kind)
{
    return kind == ShapeKind::Circle ? "Centre and radius (CX,CY,R):"
                                     : "Corners in order (X1,Y1,X2,Y2,X3,Y3,...):";
}
} // namespace

CShapePropertiesDlg::CShapePropertiesDlg(CDialog* pParent, RegionShape shape)
    : CDialog(kIddShapeProperties, pParent), m_shape(std::move(shape))
{
}

bool CShapePropertiesDlg::OnInitDialog()
{
    SetDlgItemText(kIdcShapePrompt, std::string(PromptFor(m_shape.kind)));
    return CDialog::OnInitDialog();
}

void CShapePropertiesDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, kIdcShapeName, m_strName);
    DDV_RegionName(pDX, kIdcShapeName, m_strName);
    std::string text = FormatShapeText(m_shape);
    DDX_Text(pDX, kIdcShapeText, text);
    if (!pDX->m_bSaveAndValidate || pDX->Failed())
        return;
    std::variant<RegionShape, std::string> parsed = ParseShapeText(m_shape.kind, text);
    const std::string* problem = std::get_if<std::string>(&parsed);
    const std::string message = problem != nullptr
                                    ? "The " + std::string(ShapeKindName(m_shape.kind)) + " " + *problem + "."
                                    : std::string();
    DDV_Require(pDX, kIdcShapeText, problem == nullptr, message);
    if (problem == nullptr)
        m_shape = std::get<RegionShape>(std::move(parsed));
}
