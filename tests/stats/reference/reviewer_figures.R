# The figures a reviewer asks for beyond the curves, from the survival package on whole-week
# times (a case of week w has time w): the standard k-sample log-rank test (survdiff), the
# proportional-hazards score test of a two-group Cox model (cox.zph, transform "km", Efron
# ties), the restricted mean survival time (summary(survfit, rmean = tau)) with pair
# differences, and the median follow-up by reverse Kaplan-Meier (quantile of
# survfit(Surv(week, status == 0)): only the cases alive at their last contact end their
# follow-up; every death, of either cause, censors it). The tables of
# tests/stats/hazard_ratio_test.cpp take their rows from these lines; "error" marks where
# R gives no answer.
# Run: Rscript reviewer_figures.R > reviewer_figures.out
library(survival)

# Status 1: a death; 2: a death of a second cause, counted as censored by the survival
# figures (only the follow-up reads it); 0: alive at the last contact.
cases <- function(group, deaths, censored = c(), competing = c()) {
  data.frame(group = rep(group, length(deaths) + length(censored) + length(competing)),
             week = c(deaths, censored, competing),
             status = c(rep(1, length(deaths)), rep(0, length(censored)), rep(2, length(competing))))
}

sets <- list(
  three_groups = rbind(cases(1, c(1, 2, 2, 3, 5, 8, 8, 12), c(4, 10, 15)),
                       cases(2, c(3, 6, 9, 9, 14, 20), c(2, 8, 12, 18, 25, 25)),
                       cases(3, c(10, 22, 30), c(5, 12, 16, 28, 35, 40, 40, 41))),
  half_stretches = rbind(cases(1, c(2, 2, 9), c(5)), cases(2, c(1, 3), c(3, 8)), cases(3, c(4), c(6))),
  heavy_ties = rbind(cases(1, c(0, 0, 0, 1, 1, 4, 4, 4, 4), c(1, 1)),
                     cases(2, c(0, 1, 1, 1, 4), c(4, 4, 4, 6, 6))),
  deaths_first = rbind(cases(1, c(1, 2, 3), c(5, 6)), cases(2, c(1, 1, 2), c(4))),
  one_case = rbind(cases(1, c(7)), cases(2, c(2, 5, 7, 9, 11), c(6, 14))),
  no_death = rbind(cases(1, c(3, 5, 5, 9, 12), c(7, 15)), cases(2, c(), c(4, 8, 8, 20))),
  long_follow_up = rbind(
    cases(1, c(30, 45, 60, 60, 120, 200, 310, 400, 520, 700), c(80, 150, 260, 600, 900, 1500)),
    cases(2, c(10, 12, 25, 40, 40, 41, 90, 95, 130, 260, 261, 2080), c(5, 50, 300, 1000, 2080))),
  twenty = do.call(rbind, lapply(1:20, function(g) {
    cases(g, (g * 37 + (1:(3 + g %% 5)) * 53) %% 400, (g * 11 + (1:(2 + g %% 3)) * 71) %% 450)
  })),
  # Follow-up ends early for most: the reverse curve's upper limit falls below 0.5.
  many_censored = cases(1, c(5, 40), 1:30),
  # Bad cases: nobody dies; every death in one week; every case dies in week 0.
  no_deaths = rbind(cases(1, c(), c(3, 5, 9)), cases(2, c(), c(4, 4, 12))),
  one_week = rbind(cases(1, c(4, 4), c(2, 6)), cases(2, c(4), c(1, 7, 9))),
  week_zero = rbind(cases(1, c(0, 0)), cases(2, c(0))),
  # Deaths of a second cause, counted as censored: they end no follow-up.
  censored_cause = rbind(cases(1, c(3, 8, 12, 20), c(6, 18, 25, 30), c(5, 10, 15)),
                         cases(2, c(4, 9), c(11, 16, 28), c(2, 7, 14, 22))))

num <- function(x) ifelse(is.na(x), "kNone", sprintf("%.17g", x))
quietly <- function(expr) tryCatch(suppressWarnings(expr), error = function(e) NULL)
within_range <- function(d, last) { d$status[d$week > last] <- 0; d }

logrank <- function(name, last = 2080) {
  d <- within_range(sets[[name]], last)
  fit <- quietly(survdiff(Surv(week, status) ~ group, data = d))
  if (is.null(fit)) return(cat(sprintf("    // %s to week %d: error\n", name, last)))
  df <- sum(fit$exp > 0) - 1
  cat(sprintf("    {\"%s\", %d, %s, %d, %s},\n", name, last, num(fit$chisq), df, num(fit$pvalue)))
}

zph <- function(name, a, b, last = 2080) {
  d <- within_range(sets[[name]], last)
  d <- d[d$group %in% c(a, b), ]
  d$x <- as.numeric(d$group == b)
  fit <- quietly(coxph(Surv(week, status) ~ x, data = d, ties = "efron"))
  z <- if (is.null(fit)) NULL else quietly(cox.zph(fit, transform = "km"))
  if (is.null(z)) return(cat(sprintf("    // %s %d-%d to week %d: error\n", name, a, b, last)))
  cat(sprintf("    {\"%s\", %d, %d, %d, %s, %s, %s},\n", name, a, b, last, num(coef(fit)),
              num(z$table["x", "chisq"]), num(z$table["x", "p"])))
}

rmean <- function(name, g, tau) {
  d <- sets[[name]]
  t <- quietly(summary(survfit(Surv(week, status) ~ 1, data = d[d$group == g, ]), rmean = tau)$table)
  if (is.null(t)) c(NA, NA) else c(t[["rmean"]], t[["se(rmean)"]])
}
rmst <- function(name, tau, a, b) {
  ra <- rmean(name, a, tau); rb <- rmean(name, b, tau)
  z <- qnorm(0.975)
  diff <- rb[1] - ra[1]; se <- sqrt(ra[2]^2 + rb[2]^2)
  cat(sprintf("    {\"%s\", %d, %d, %d, %s, %s, %s, %s, %s, %s, %s, %s, %s},\n", name, tau, a, b,
              num(ra[1]), num(ra[2]), num(ra[1] - z * ra[2]), num(ra[1] + z * ra[2]), num(rb[1]), num(rb[2]),
              num(diff), num(se), num(2 * pnorm(-abs(diff / se)))))
}

follow_up <- function(name, g) {
  d <- sets[[name]]
  if (g > 0) d <- d[d$group == g, ]
  q <- quantile(survfit(Surv(week, status == 0) ~ 1, data = d, conf.type = "log"), 0.5)
  cat(sprintf("    {\"%s\", %d, %s, %s, %s},\n", name, g, num(q$quantile), num(q$lower), num(q$upper)))
}

cat("Log-rank (survdiff): name, last week, chisq, df = groups with expected deaths - 1, p\n")
logrank("three_groups"); logrank("three_groups", 9); logrank("heavy_ties"); logrank("one_case")
logrank("long_follow_up"); logrank("long_follow_up", 260); logrank("long_follow_up", 8); logrank("twenty")
logrank("no_death"); logrank("no_deaths"); logrank("one_week"); logrank("week_zero")

cat("Proportional hazards (cox.zph, km): name, a, b, last week, coxph beta, chisq, p\n")
zph("three_groups", 1, 2); zph("three_groups", 1, 3); zph("three_groups", 2, 3, 20); zph("heavy_ties", 1, 2)
zph("deaths_first", 1, 2); zph("one_case", 1, 2); zph("long_follow_up", 1, 2); zph("long_follow_up", 1, 2, 260)
zph("twenty", 1, 20); zph("twenty", 4, 9); zph("one_week", 1, 2); zph("week_zero", 1, 2)

cat("Restricted mean to tau: name, tau, a, b, rmean a, se a, lower a, upper a, rmean b, se b,",
    "b - a, se of b - a, p\n")
rmst("three_groups", 52, 1, 2); rmst("three_groups", 10, 1, 3); rmst("heavy_ties", 3, 1, 2)
rmst("heavy_ties", 6, 1, 2); rmst("one_case", 10, 1, 2); rmst("long_follow_up", 260, 1, 2)
rmst("long_follow_up", 2000, 1, 2); rmst("long_follow_up", 8, 1, 2); rmst("no_deaths", 10, 1, 2)
rmst("one_week", 4, 1, 2); rmst("twenty", 300, 3, 17)

cat("Median follow-up (reverse Kaplan-Meier): name, group (0 = all), median, lower, upper\n")
for (g in 0:3) follow_up("three_groups", g)
for (g in 1:3) follow_up("half_stretches", g)
for (g in 0:2) follow_up("heavy_ties", g)
for (g in 1:2) follow_up("one_case", g)
for (g in 0:2) follow_up("long_follow_up", g)
follow_up("many_censored", 1); follow_up("no_deaths", 1); follow_up("week_zero", 0)
for (g in 0:2) follow_up("censored_cause", g)
