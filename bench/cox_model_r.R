# R survival's coxph on the design that BM_CoxModelTenColumnsMillionCases fits: 1,000,000
# cases, 10 columns, Efron ties; the time of the fit alone, reading excluded.
#
#   build/native/bench/write_cox_design /tmp/cox_design.csv
#   Rscript bench/cox_model_r.R /tmp/cox_design.csv > bench/cox_model_r.out
#
# Measured at a load of about 3 on 2 cores: coxph 9.5 s (7.4 s of CPU); the benchmark beside
# it, BM_CoxModelTenColumnsMillionCases, 1.05 s (1.02 s of CPU), the same coefficients to 1e-11.
#
# Debian: r-base-core, r-cran-survival. Not run in CI.
suppressPackageStartupMessages(library(survival))

args <- commandArgs(trailingOnly = TRUE)
if (length(args) != 1) stop("usage: Rscript cox_model_r.R FILE")
d <- read.csv(args[1])
timing <- system.time(fit <- coxph(Surv(week, status) ~ ., data = d, ties = "efron"))
cat(sprintf("cases %d, events %d, columns %d, iterations %d\n", fit$n, fit$nevent, length(coef(fit)), fit$iter))
cat(sprintf("loglik %.10f %.10f\n", fit$loglik[1], fit$loglik[2]))
print(cbind(coef = coef(fit), se = sqrt(diag(vcov(fit)))), digits = 10)
cat(sprintf("coxph %.2f s elapsed (user %.2f s, system %.2f s)\n", timing[["elapsed"]], timing[["user.self"]],
            timing[["sys.self"]]))
cat(sprintf("R %s, survival %s\n", getRversion(), packageVersion("survival")))
