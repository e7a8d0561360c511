# Hazard ratios far from 1 between a large group and a small one, from the survival package:
# coxph (ties = "efron") started near the maximum (init =), since from 0 it stops short of it
# (at beta 11.84 instead of 12.47 for the 100,000 case) with "Loglik converged before variable".
# Group "large": one death in week 2 and nLarge cases censored, spread evenly over weeks
# 10 to 249; group "small": 10 cases, two deaths in each of weeks 1 to 5. x = 1 marks group b.
# The lines are the rows of the table in tests/stats/hazard_ratio_test.cpp.
# Run: Rscript cox_large_ratios.R > cox_large_ratios.out
library(survival)

pair <- function(nLarge, largeIsB) {
  k <- 0:(nLarge - 1)
  large <- data.frame(week = c(2, 10 + (k * 240) %/% nLarge), status = c(1, rep(0, nLarge)))
  small <- data.frame(week = rep(1:5, each = 2), status = rep(1, 10))
  large$x <- as.numeric(largeIsB)
  small$x <- as.numeric(!largeIsB)
  rbind(large, small)
}

num <- function(x) sprintf("%.17g", x)
cat("name, censored in the large group, large group is b, beta, se, hr, lower, upper, p\n")
for (row in list(list("small b", 3000, FALSE, 9), list("small a", 3000, TRUE, -9),
                 list("100,000 censored", 100000, FALSE, 12))) {
  fit <- coxph(Surv(week, status) ~ x, data = pair(row[[2]], row[[3]]), ties = "efron", init = row[[4]],
               control = coxph.control(eps = 1e-11, iter.max = 100))
  beta <- unname(coef(fit))
  se <- sqrt(fit$var[1, 1])
  z <- qnorm(0.975)
  cat(sprintf("    {\"%s\", %d, %s, %s, %s, %s, %s, %s, %s},\n", row[[1]], row[[2]], tolower(row[[3]]),
              num(beta), num(se), num(exp(beta)), num(exp(beta - z * se)), num(exp(beta + z * se)),
              num(2 * pnorm(-abs(beta / se)))))
}
