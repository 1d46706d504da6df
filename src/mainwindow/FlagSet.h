#pragma once

// Sets a flag while it exists.
class TFlagSet {
public:
    explicit TFlagSet(bool& flag) : m_flag(flag) { m_flag = true; }
    ~TFlagSet() { m_flag = false; }
    TFlagSet(const TFlagSet&) = delete;
    TFlagSet& operator=(const TFlagSet&) = delete;

private:
    bool& m_flag;
};
