// Region Properties for a circle or a polygon: the name, and the shape's numbers as one line of
// text, "CX,CY,R" or "X1,Y1,X2,Y2,...", as tracktool's --circle and --polygon take them. Text that
// is not a usable shape of the same kind gets one message naming the fault ("The polygon has edges
// that cross: ...") and the focus, and the dialog stays open.
#pragma once

#include "framework/Dialog.h"
#include "regions/RegionShape.h"

#include <string>

class CShapePropertiesDlg : public CDialog
{
public:
    // shape: the circle or polygon shown; its kind is the kind the text must give.
    CShapePropertiesDlg(CDialog* pParent, RegionShape shape);

    std::string m_strName;
    RegionShape m_shape; // the shape shown, and after OK the shape read

protected:
    bool OnInitDialog() override;
    void DoDataExchange(CDataExchange* pDX) override;
};
