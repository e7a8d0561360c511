# The 5- and 10-year figures of the ten-year file in tests/cli/figures_test.cpp (deaths every
# 300 days, one case alive at 4400 days; whole weeks). Run: Rscript ten_years.R > ten_years.out
library(survival)
t <- c(42, 85, 128, 171, 214, 257, 300, 342, 628)
e <- c(1, 1, 1, 1, 1, 1, 1, 1, 0)
fit <- survfit(Surv(t, e) ~ 1, conf.type = "log")
s <- summary(fit, times = c(260, 520))
print(data.frame(time = s$time, surv = s$surv, lower = s$lower, upper = s$upper), digits = 15)
