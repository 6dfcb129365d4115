#include "media/glvideowidget.h"

#include <cstring>
#include <memory>

#include <QContextMenuEvent>
#include <QGenericMatrix>
#include <QMouseEvent>
#include <QOpenGLContext>
#include <QOpenGLFramebufferObject>
#include <QOpenGLFunctions>
#include <QOpenGLShaderProgram>
#include <QOpenGLWindow>
#include <QWidget>

extern "C" {
#include <libavutil/frame.h>
}

#include "media/videoview.h"

namespace kolvarin::media {
namespace {

// Positions are in luma pixels of the picture, so the shader samples the
// planes (uploaded at their full line length) and neighbours by pixel.
constexpr const char* kVertexShader = R"(
attribute vec2 corner;
uniform vec4 source;
varying vec2 pos;
void main()
{
    pos = source.xy + corner * source.zw;
    gl_Position = vec4(corner.x * 2.0 - 1.0, 1.0 - corner.y * 2.0, 0.0, 1.0);
}
)";

// Built twice: plain, and with ADJUST for colour controls that are not
// neutral (a software rasteriser pays for every fetch, even an unused one).
constexpr const char* kFragmentShader = R"(
#ifdef GL_ES
precision highp float;
#endif
varying vec2 pos;
uniform sampler2D planeY, planeU, planeV;
uniform vec2 scaleY, scaleU, scaleV, limitY, limitC;
uniform mat3 toRgb;
uniform float yOffset;
#ifdef ADJUST
uniform sampler2D lumaTable;
uniform float sharpen;
uniform mat2 chroma;
#endif
float Luma(vec2 p)
{
    float y = texture2D(planeY, clamp(p, vec2(0.5), limitY - 0.5) * scaleY).r;
#ifdef ADJUST
    y = texture2D(lumaTable, vec2((y * 255.0 + 0.5) / 256.0, 0.5)).r;
#endif
    return y;
}
void main()
{
    float y = Luma(pos);
    vec2 p = clamp(pos * 0.5, vec2(0.5), limitC - 0.5);
    vec2 c = vec2(texture2D(planeU, p * scaleU).r, texture2D(planeV, p * scaleV).r) - 0.5;
#ifdef ADJUST
    if (sharpen != 0.0) {
        float blur = (Luma(pos - vec2(1.0, 0.0)) + 2.0 * y + Luma(pos + vec2(1.0, 0.0))) * 0.25;
        y = clamp(y + sharpen * (y - blur), 0.0, 1.0);
    }
    c = chroma * c;
#endif
    gl_FragColor = vec4(clamp(toRgb * vec3(y - yOffset, c), 0.0, 1.0), 1.0);
}
)";

enum Texture { kY, kU, kV, kTable, kTextures };

class GlVideoWindow final : public QOpenGLWindow, protected QOpenGLFunctions {
public:
    explicit GlVideoWindow(VideoView& view) : view_(view) {}
    ~GlVideoWindow() override
    {
        makeCurrent();
        ReleaseGl();
        doneCurrent();
    }

protected:
    void initializeGL() override
    {
        initializeOpenGLFunctions();
        auto plain = MakeProgram("");
        auto adjusted = MakeProgram("#define ADJUST\n");
        if (!plain || !adjusted)
            return; // paints black
        plain_ = std::move(plain);
        adjusted_ = std::move(adjusted);
        glGenTextures(kTextures, textures_);
        for (GLuint t : textures_) {
            glBindTexture(GL_TEXTURE_2D, t);
            const GLint filter = t == textures_[kTable] ? GL_NEAREST : GL_LINEAR;
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        }
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    }

    void paintGL() override { Paint(); }

public:
    // The picture drawn at the window's size into an image; null before
    // the window has been shown.
    QImage Snapshot()
    {
        if (!plain_ || !isExposed())
            return {};
        makeCurrent();
        QOpenGLFramebufferObject fbo(size() * devicePixelRatio());
        fbo.bind();
        glViewport(0, 0, fbo.width(), fbo.height());
        Paint();
        QImage image = fbo.toImage();
        fbo.release();
        doneCurrent();
        return image;
    }

protected:
    bool event(QEvent* e) override
    {
        if (!view_.ForwardMouse(e))
            return QOpenGLWindow::event(e);
        // A window gets no context-menu event of its own: the drain gets
        // the one a widget gets on a right press.
        const auto* m = e->type() == QEvent::MouseButtonPress ? static_cast<QMouseEvent*>(e) : nullptr;
        if (m && m->button() == Qt::RightButton) {
            QContextMenuEvent menu(QContextMenuEvent::Mouse, m->position().toPoint(), m->globalPosition().toPoint(),
                                   m->modifiers());
            view_.ForwardMouse(&menu);
        }
        return true;
    }

private:
    // The picture covers the whole window, so only its absence clears.
    void Paint()
    {
        uint64_t serial = 0;
        AVFrame* frame = view_.Store().Take(&serial);
        if (plain_ && frame && frame->linesize[0] > 0 && frame->linesize[1] > 0 && frame->linesize[2] > 0) {
            if (serial != uploaded_)
                Upload(frame, serial);
            Draw(frame);
        } else {
            glClearColor(0, 0, 0, 1);
            glClear(GL_COLOR_BUFFER_BIT);
        }
        av_frame_free(&frame);
    }

    static std::unique_ptr<QOpenGLShaderProgram> MakeProgram(const char* defines)
    {
        auto program = std::make_unique<QOpenGLShaderProgram>();
        if (!program->addShaderFromSourceCode(QOpenGLShader::Vertex, kVertexShader) ||
            !program->addShaderFromSourceCode(QOpenGLShader::Fragment, QByteArray(defines) + kFragmentShader) ||
            !program->link())
            return nullptr;
        return program;
    }

    void Upload(const AVFrame* frame, uint64_t serial)
    {
        for (int plane = 0; plane < 3; ++plane) {
            const int w = frame->linesize[plane];
            const int h = plane == 0 ? frame->height : (frame->height + 1) / 2;
            glBindTexture(GL_TEXTURE_2D, textures_[plane]);
            if (sizes_[plane] != QSize(w, h)) {
                glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE, w, h, 0, GL_LUMINANCE, GL_UNSIGNED_BYTE,
                             frame->data[plane]);
                sizes_[plane] = QSize(w, h);
            } else {
                glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, w, h, GL_LUMINANCE, GL_UNSIGNED_BYTE, frame->data[plane]);
            }
        }
        uploaded_ = serial;
    }

    // The luma table of the controls, uploaded when they change.
    void UploadTable(const ColorAdjust& adjust)
    {
        glBindTexture(GL_TEXTURE_2D, textures_[kTable]);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE, 256, 1, 0, GL_LUMINANCE, GL_UNSIGNED_BYTE, adjust.luma.data());
    }

    void Draw(const AVFrame* frame)
    {
        const DDCOLORCONTROL& controls = view_.Controls();
        const bool adjust = !NeutralColorControls(controls);
        ColorAdjust a;
        if (adjust) {
            a = MakeColorAdjust(controls);
            if (std::memcmp(&tableFor_, &controls, sizeof controls) != 0) {
                UploadTable(a);
                tableFor_ = controls;
            }
        }
        QOpenGLShaderProgram& program = adjust ? *adjusted_ : *plain_;
        program.bind();
        const char* samplers[kTextures] = {"planeY", "planeU", "planeV", "lumaTable"};
        for (int i = 0; i < (adjust ? kTextures : kTable); ++i) {
            glActiveTexture(GL_TEXTURE0 + i);
            glBindTexture(GL_TEXTURE_2D, textures_[i]);
            program.setUniformValue(samplers[i], i);
        }
        glActiveTexture(GL_TEXTURE0);
        SetPictureUniforms(program, frame);
        if (adjust) {
            float chroma[4];
            for (int i = 0; i < 4; ++i)
                chroma[i] = static_cast<float>(a.chroma[i / 2][i % 2]);
            program.setUniformValue("sharpen", static_cast<float>(a.sharpen));
            program.setUniformValue("chroma", QMatrix2x2(chroma));
        }
        static const GLfloat corners[] = {0, 0, 1, 0, 0, 1, 1, 1};
        const int corner = program.attributeLocation("corner");
        program.enableAttributeArray(corner);
        program.setAttributeArray(corner, GL_FLOAT, corners, 2);
        glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
        program.disableAttributeArray(corner);
        program.release();
    }

    // The shown part of the picture, the planes' layout and the colour matrix.
    void SetPictureUniforms(QOpenGLShaderProgram& program, const AVFrame* frame)
    {
        QRect source = view_.Source().intersected(QRect(0, 0, frame->width, frame->height));
        if (source.isEmpty())
            source = QRect(0, 0, frame->width, frame->height);
        const int ch = (frame->height + 1) / 2;
        program.setUniformValue("source", QVector4D(source.left(), source.top(), source.width(), source.height()));
        program.setUniformValue("scaleY", QVector2D(1.0f / frame->linesize[0], 1.0f / frame->height));
        program.setUniformValue("scaleU", QVector2D(1.0f / frame->linesize[1], 1.0f / ch));
        program.setUniformValue("scaleV", QVector2D(1.0f / frame->linesize[2], 1.0f / ch));
        program.setUniformValue("limitY", QVector2D(frame->width, frame->height));
        program.setUniformValue("limitC", QVector2D((frame->width + 1) / 2, ch));
        const YuvMatrix m = YuvToRgbMatrix(frame);
        float rgb[9];
        for (int i = 0; i < 9; ++i)
            rgb[i] = static_cast<float>(m.m[i / 3][i % 3]);
        program.setUniformValue("toRgb", QMatrix3x3(rgb));
        program.setUniformValue("yOffset", static_cast<float>(m.yOffset));
    }

    void ReleaseGl()
    {
        if (plain_)
            glDeleteTextures(kTextures, textures_);
        plain_.reset();
        adjusted_.reset();
        for (QSize& s : sizes_)
            s = {};
        uploaded_ = ~uint64_t{0};
        tableFor_ = {};
    }

    VideoView& view_;
    std::unique_ptr<QOpenGLShaderProgram> plain_, adjusted_;
    GLuint textures_[kTextures]{};
    QSize sizes_[3];
    uint64_t uploaded_ = ~uint64_t{0};
    DDCOLORCONTROL tableFor_{};
};

} // namespace

GlVideoSurface MakeGlVideoSurface(VideoView& view)
{
    auto* window = new GlVideoWindow(view);
    return {QWidget::createWindowContainer(window), window};
}

QImage SnapshotGlVideo(QOpenGLWindow* window) { return static_cast<GlVideoWindow*>(window)->Snapshot(); }

} // namespace kolvarin::media
