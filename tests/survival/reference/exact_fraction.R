# The whole Kaplan-Meier product against R's survfit, on two data sets where a fraction cut
# to three decimals at every week drifts away from it. The data sets are written out the same
# way in tests/survival/exact_fraction_test.cpp. Run: Rscript exact_fraction.R > exact_fraction.out
library(survival)

# Three arms of 310, 310 and 309 cases with deaths over 0 to 11 years.
many_deaths <- do.call(rbind, lapply(0:2, function(a) {
  i <- 0:(c(310, 310, 309)[a + 1] - 1)
  data.frame(group = a + 1, week = (i * 97 + a * 31) %% 600,
             status = as.integer((i * 13 + a * 5) %% 20 < 11 - 2 * a))
}))

# Deaths in every one of the 2,081 weeks: A 8,000 cases (two deaths and one censored case a
# week, the rest censored at week 2080), B 5,000 cases (one death a week, a censored case
# every second week, the rest censored at week 2080).
weekly <- function(group, cases, deaths, censoredEvery) {
  w <- 0:2080
  dead <- rep(w, each = deaths)
  cens <- w[w %% censoredEvery == 0]
  rest <- cases - length(dead) - length(cens)
  data.frame(group = group, week = c(dead, cens, rep(2080, rest)),
             status = c(rep(1, length(dead)), rep(0, length(cens) + rest)))
}
every_week <- rbind(weekly(1, 8000, 2, 1), weekly(2, 5000, 1, 2))

report <- function(name, d) {
  cat("==", name, "\n")
  fits <- list(pooled = survfit(Surv(week, status) ~ 1, data = d))
  for (g in sort(unique(d$group))) fits[[as.character(g)]] <- survfit(Surv(week, status) ~ 1, data = d[d$group == g, ])
  for (k in names(fits)) {
    f <- fits[[k]]
    at <- function(w) if (max(f$time) >= w) summary(f, times = w)$surv else NA
    # The view's median: the first week whose survival is 0.5 or less.
    first <- f$time[f$surv <= 0.5 + sqrt(.Machine$double.eps)][1]
    cat(sprintf("group %s: surv260 %.15f surv520 %.15f firstHalf %s median %s\n",
                k, at(260), at(520), first, summary(f)$table["median"]))
  }
}
report("many_deaths", many_deaths)
report("every_week", every_week)

# The Windows program's curve check: group A of every_week alone, week 259.
cat(sprintf("every_week group 1 at week 259: %.15f\n",
            summary(survfit(Surv(week, status) ~ 1, data = every_week[every_week$group == 1, ]), times = 259)$surv))
