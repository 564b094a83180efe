#include "thumbs/ExifRows.h"

#include "thumbs/ExifReader.h"

#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>

namespace {

// printf-style formatting into a string ("%f" of a large double runs to
// hundreds of characters).
std::string Format(const char* format, ...) {
    char buf[512];
    va_list args;
    va_start(args, format);
    int n = std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    if (n < 0)
        return {};
    if (static_cast<std::size_t>(n) < sizeof buf)
        return std::string(buf, n);
    std::string out(static_cast<std::size_t>(n) + 1, '\0');
    va_start(args, format);
    std::vsnprintf(out.data(), out.size(), format, args);
    va_end(args);
    out.resize(n);
    return out;
}

int Trunc(float v) {
    if (std::isnan(v))
        return 0;
    if (v >= 2147483647.0f)
        return INT_MAX;
    if (v <= -2147483648.0f)
        return INT_MIN;
    return static_cast<int>(v);
}

const char* OrientationText(int o) {
    static const char* const texts[] = {"左上", "右上", "右下", "左下",
                                        "上左", "上右", "下右", "下左"};
    return o >= 1 && o <= 8 ? texts[o - 1] : "";
}

const char* MeteringText(int m) {
    static const char* const texts[] = {"未知",     "平均测光", "中心重点平均", "单点测光",
                                        "多点测光", "矩阵测光", "局部测光",     "其他"};
    return m >= 0 && m < 8 ? texts[m] : "";
}

const char* ExposureProgramText(int p) {
    static const char* const texts[] = {"手动模式",     "程序正常模式", "光圈优先", "快门优先",
                                        "程序正常模式", "程序快速模式", "纵向模式", "横向模式"};
    return p >= 1 && p <= 8 ? texts[p - 1] : "";
}

const char* CompressionText(int c) {
    switch (c) {
    case 1:
        return "一般";
    case 4:
        return "较好";
    default:
        return "正常";
    }
}

} // namespace

void AppendExifRows(const ExifRecord& r, std::vector<std::string>& tags,
                    std::vector<std::string>& values) {
    auto row = [&](const char* label, std::string value) {
        tags.emplace_back(label);
        values.push_back(std::move(value));
    };

    if (r.szComments[0])
        row("图像描述", FieldText(r.szComments));
    row("Exif版本", FieldText(r.szExifVersion));
    if (r.szCameraMake[0])
        row("制造商", FieldText(r.szCameraMake));
    row("相机型号", FieldText(r.szCameraModel));
    row("拍摄时期", FieldText(r.szDateTime));
    row("图像尺寸", Format("%dX%d", r.nWidth, r.nHeight));
    if (r.nOrientation > 0)
        row("方向", OrientationText(r.nOrientation));
    row("色彩空间", Format("%d", r.bIsColor));
    row("焦距:", Format("%fmm", r.fFocalLength));
    row("曝光时间", Format("%fs", r.fExposureTime));
    if (r.fXResolution != 0 && r.fYResolution != 0) {
        row("水平分辨率", Format("%d", Trunc(r.fXResolution)));
        row("垂直分辨率", Format("%d", Trunc(r.fYResolution)));
        switch (Trunc(r.fResolutionUnit)) {
        case 1:
            row("分辨率单位", "无");
            break;
        case 2:
            row("分辨率单位", "英寸");
            break;
        case 3:
            row("分辨率单位", "厘米");
            break;
        default:
            row("分辨率单位", Format("%f", r.fResolutionUnit));
            break;
        }
    }
    row("编码方式", Format("%d", r.nProcess));
    row("闪光灯", r.bFlashUsed ? "使用" : "没有使用");
    row("快门光圈值", Format("%f", r.fApertureFNumber));
    if (r.fDistance != 0)
        row("物距", Format("%fm", r.fDistance));
    if (r.fCCDWidth != 0)
        row("CCD宽度", Format("%f", r.fCCDWidth));
    if (r.fExposureBias != 0)
        row("曝光补偿", Format("%f ev", r.fExposureBias));
    if (r.nLightSource != 0)
        row("白平衡", Format("%d", r.nLightSource));
    if (r.fBrightness != 0)
        row("亮度", Format("%f", r.fBrightness));
    if (r.nMeteringMode >= 0 && r.nMeteringMode < 8)
        row("测光模式：", MeteringText(r.nMeteringMode));
    if (r.nExposureProgram > 0)
        row("曝光程序", ExposureProgramText(r.nExposureProgram));
    row("ISO 速率", Format("%d", r.nISOEquivalent));
    if (r.nCompressionLevel > 0)
        row("压缩图像质量", CompressionText(r.nCompressionLevel));
    if (r.fFocalPlaneXRes != 0)
        row("焦平面X轴分辨率", Format("%f", r.fFocalPlaneXRes));
    if (r.fFocalPlaneYRes != 0)
        row("焦平面Y轴分辨率", Format("%f", r.fFocalPlaneYRes));
    if (r.fFocalPlaneUnits != 0)
        row("焦平面分辨率单位", Format("%f", r.fFocalPlaneUnits));
    if (r.dGpsLatitude != 0) {
        const signed char* v = reinterpret_cast<const signed char*>(r.szGpsVersion);
        row("GPS版本", Format("%d.%d.%d.%d", v[0], v[1], v[2], v[3]));
        row("纬度参考", FieldText(r.szGpsLatRef));
        row("纬度", Format("%f", r.dGpsLatitude));
        row("经度参考", FieldText(r.szGpsLonRef));
        row("经度", Format("%f", r.dGpsLongitude));
        row("海拔高度参考", FieldText(r.szGpsAltRef));
        row("海拔高度", Format("%f", r.dGpsAltitude));
    }
}

void FillExifRows(const std::string& path, std::vector<std::string>& tags,
                  std::vector<std::string>& values) {
    tags.clear();
    values.clear();
    CExifReader reader;
    if (!reader.ReadJpegFile(path))
        return;
    ExifRecord record;
    reader.CopyRecord(&record);
    AppendExifRows(record, tags, values);
}
