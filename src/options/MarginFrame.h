#pragma once

#include <QGroupBox>

class QLabel;
class QPushButton;
class QSlider;

namespace veltro::options {

// "Ausrichtung  der Anschrift": the margins of the address printout, with a small page
// sketch on which the label "Anschrift" (Label7) shows where the address will stand.
// The top margin is Slider3 (Label8), the left margin Slider4 (Label9), both 0 … 100 mm.
class MarginFrame : public QGroupBox {
    Q_OBJECT
public:
    static constexpr int kMinimum = 0;
    static constexpr int kMaximum = 100;
    static constexpr int kDefaultTop = 50;
    static constexpr int kDefaultLeft = 25;

    explicit MarginFrame(QWidget* parent = nullptr);

    // Values outside the sliders' range are taken to its nearest end.
    void setMargins(int top, int left);
    [[nodiscard]] int topMargin() const;
    [[nodiscard]] int leftMargin() const;
    // "Standard": top 50, left 25.
    void Command5_Click();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void placeAll();
    void refreshPreview();
    [[nodiscard]] QRect twips(int left, int top, int width, int height) const;
    [[nodiscard]] QRect pageRect() const;

    QSlider* Slider3_;
    QSlider* Slider4_;
    QLabel* Label7_;
    QLabel* Label8_;
    QLabel* Label9_;
    QLabel* hint_;
    QPushButton* Command5_;
};

}  // namespace veltro::options
