// Owning handles for Arb's numbers and vectors, so that every early return
// frees them. Internal to the dated-flow solver.
#pragma once

#include <arb.h>

#include <vector>

namespace valmora::detail {

class Ball {
public:
    Ball() { arb_init(x_); }
    ~Ball() { arb_clear(x_); }
    Ball(const Ball&) = delete;
    Ball& operator=(const Ball&) = delete;
    arb_ptr get() { return x_; }
    arb_srcptr get() const { return x_; }

private:
    arb_t x_;
};

class Float {
public:
    Float() { arf_init(x_); }
    ~Float() { arf_clear(x_); }
    Float(const Float& other) {
        arf_init(x_);
        arf_set(x_, other.x_);
    }
    Float& operator=(const Float& other) {
        arf_set(x_, other.x_);
        return *this;
    }
    arf_ptr get() { return x_; }
    arf_srcptr get() const { return x_; }

private:
    arf_t x_;
};

class Magnitude {
public:
    Magnitude() { mag_init(x_); }
    ~Magnitude() { mag_clear(x_); }
    Magnitude(const Magnitude&) = delete;
    Magnitude& operator=(const Magnitude&) = delete;
    mag_ptr get() { return x_; }
    mag_srcptr get() const { return x_; }

private:
    mag_t x_;
};

class BallVector {
public:
    explicit BallVector(slong n = 0) : n_(n), p_(n > 0 ? _arb_vec_init(n) : nullptr) {}
    ~BallVector() {
        if (p_ != nullptr) _arb_vec_clear(p_, n_);
    }
    BallVector(const BallVector&) = delete;
    BallVector& operator=(const BallVector&) = delete;
    BallVector(BallVector&& other) noexcept : n_(other.n_), p_(other.p_) {
        other.n_ = 0;
        other.p_ = nullptr;
    }
    BallVector& operator=(BallVector&& other) noexcept {
        if (this != &other) {
            if (p_ != nullptr) _arb_vec_clear(p_, n_);
            n_ = other.n_;
            p_ = other.p_;
            other.n_ = 0;
            other.p_ = nullptr;
        }
        return *this;
    }
    arb_ptr operator[](slong i) { return p_ + i; }
    arb_srcptr operator[](slong i) const { return p_ + i; }
    arb_ptr data() { return p_; }
    arb_srcptr data() const { return p_; }
    slong size() const { return n_; }

private:
    slong n_;
    arb_ptr p_;
};

class MagVector {
public:
    explicit MagVector(slong n = 0) : v_(static_cast<std::size_t>(n)) {
        for (auto& m : v_) mag_init(&m);
    }
    ~MagVector() {
        for (auto& m : v_) mag_clear(&m);
    }
    MagVector(const MagVector&) = delete;
    MagVector& operator=(const MagVector&) = delete;
    // n magnitudes, all 0 (those kept keep their values).
    void Resize(slong n) {
        const std::size_t old = v_.size();
        for (std::size_t i = static_cast<std::size_t>(n); i < old; ++i) mag_clear(&v_[i]);
        v_.resize(static_cast<std::size_t>(n));
        for (std::size_t i = old; i < v_.size(); ++i) mag_init(&v_[i]);
    }
    mag_ptr operator[](slong i) { return &v_[static_cast<std::size_t>(i)]; }
    mag_srcptr operator[](slong i) const { return &v_[static_cast<std::size_t>(i)]; }

private:
    std::vector<mag_struct> v_;
};

}  // namespace valmora::detail
