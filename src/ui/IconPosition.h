#pragma once
// Where the minimised window draws its icon: centred in the client area, the
// odd pixel going right and down. Division truncates toward zero.

struct IconOrigin {
    int x;
    int y;
};

constexpr IconOrigin CentredIconOrigin(int clientWidth, int clientHeight, int iconWidth, int iconHeight)
{
    return { (clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2 };
}
